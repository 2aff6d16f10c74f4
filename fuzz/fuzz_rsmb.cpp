// Fuzz target 3: a firmware-table buffer through the RSMB conversion of the
// firmware-table strategy, then the walk.
//
// Input: a filter type, then the RawSMBIOSData buffer.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "FuzzSupport.h"
#include "smbios/Exception.h"
#include "smbios/IFirmwareTablePlatform.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"
#include "smbios/SmbiosWorkaround.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    tarnwick_fuzz::InputReader input(data, size);
    const int filterType = input.byte();
    tarnwick_fuzz::BufferFirmwarePlatform firmware(input.rest());
    smbios::useFirmwareTablePlatform(&firmware);
    try {
        std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
        strategies.push_back(std::make_unique<smbios::SmbiosWinGetFirmwareTableStrategy>());
        smbios::SmbiosTable table(std::move(strategies), false);
        table.initializeWorkaround();
        tarnwick_fuzz::InputReader reads(data, size);
        tarnwick_fuzz::exerciseTable(table, reads, filterType);
    } catch (const smbios::IException &) {
    }
    smbios::useFirmwareTablePlatform(nullptr);
    smbios::SmbiosWorkaroundFactory::getFactory()->reset();
    return 0;
}
