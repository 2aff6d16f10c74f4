// Windows: the firmware-table query answered by a fake.
#include "tests/smbios/SystemTableSource.h"

#include "smbios/IFirmwareTablePlatform.h"
#include "tests/smbios/PlatformFakes.h"
#include "tests/support/SmbiosBuilder.h"

namespace tarnwick_test {

struct SystemTableSource::State {
    FakeFirmwareTablePlatform firmware;
};

SystemTableSource::SystemTableSource(uint8_t major, uint8_t minor, const std::vector<uint8_t> &table)
    : state(std::make_unique<State>()) {
    state->firmware.rawBuffer = rawSmbiosData(major, minor, table);
    smbios::useFirmwareTablePlatform(&state->firmware);
}

SystemTableSource::SystemTableSource() : state(std::make_unique<State>()) {
    state->firmware.kernel32Loaded = false;
    smbios::useFirmwareTablePlatform(&state->firmware);
}

SystemTableSource::~SystemTableSource() {
    smbios::useFirmwareTablePlatform(nullptr);
}

}  // namespace tarnwick_test
