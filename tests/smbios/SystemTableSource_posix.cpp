// Elsewhere: a copy of the sysfs files in a temporary directory.
#include "tests/smbios/SystemTableSource.h"

#include "smbios/SmbiosSysfsStrategy.h"
#include "smbios/format/SmbiosFormat.h"
#include "tests/support/TempFile.h"

namespace tarnwick_test {

struct SystemTableSource::State {
    TempDirectory directory;
};

SystemTableSource::SystemTableSource(uint8_t major, uint8_t minor, const std::vector<uint8_t> &table)
    : state(std::make_unique<State>()) {
    const smbios::SmbiosTableBytes source = smbios::format::sourceWithEntryPoint(table, major, minor);
    state->directory.write("smbios_entry_point", source.entryPoint);
    state->directory.write("DMI", source.table);
    smbios::useSysfsTablesDirectory(state->directory.path());
}

SystemTableSource::SystemTableSource() : state(std::make_unique<State>()) {
    smbios::useSysfsTablesDirectory(state->directory.path() + "/missing");
}

SystemTableSource::~SystemTableSource() {
    smbios::useSysfsTablesDirectory("");
}

}  // namespace tarnwick_test
