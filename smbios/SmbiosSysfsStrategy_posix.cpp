// Reading the sysfs pair through the formats module.
#include "smbios/SmbiosSysfsStrategy.h"

#include <memory>
#include <utility>

#include "smbios/SmbiosFactoryImpl.h"
#include "smbios/format/SmbiosFormat.h"

namespace smbios {
namespace {

std::string &directoryInUse() {
    static std::string directory;
    return directory;
}

}  // namespace

std::unique_ptr<SmbiosStrategy> makeSystemTableStrategy() {
    return std::make_unique<SmbiosSysfsStrategy>();
}

void useSysfsTablesDirectory(const std::string &directory) {
    directoryInUse() = directory;
}

SmbiosSysfsStrategy::SmbiosSysfsStrategy()
    : SmbiosSysfsStrategy(directoryInUse().empty() ? format::kSysfsTablesDirectory : directoryInUse()) {}

SmbiosSysfsStrategy::SmbiosSysfsStrategy(std::string tablesDirectory) : directory(std::move(tablesDirectory)) {}

SmbiosSysfsStrategy::~SmbiosSysfsStrategy() = default;

bool SmbiosSysfsStrategy::getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                                         bool strict) {
    return readTableWithoutFacts(tableBuffer, entryPoint, strict);
}

bool SmbiosSysfsStrategy::readTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                                    TableFacts &facts, bool strict) {
    SmbiosBufferStrategy read(std::make_shared<const SmbiosTableBytes>(format::readSysfsTables(directory)));
    return read.readTable(tableBuffer, entryPoint, facts, strict);
}

}  // namespace smbios
