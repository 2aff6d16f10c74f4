// Fuzz target 1: a structure table handed to SmbiosTable through a strategy,
// with the workarounds of a system from the lookup table installed so that
// fix-ups run, walked completely; then the system-ID sources over the same
// table through the factories.
//
// Input: a row index, a filter type, then the table; the rest of the bytes
// steer the reads.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "FuzzSupport.h"
#include "memory/MemoryFactory.h"
#include "smbios/Exception.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosWorkaround.h"
#include "smbios/SystemId.h"

namespace {

// A type 208 structure naming the system of the lookup table's row.
std::vector<uint8_t> makerStructure(uint16_t systemId) {
    return {208, 10, 0x00, 0xD0, 1, 2, 0xFE, 0, static_cast<uint8_t>(systemId), static_cast<uint8_t>(systemId >> 8),
            0,   0};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    tarnwick_fuzz::InputReader input(data, size);
    const uint8_t row = input.byte();
    const int filterType = input.byte();
    const uint16_t tableLength = input.word();
    std::vector<uint8_t> table;
    if (row % 2 == 0) {
        table = makerStructure(smbios::systemWorkaroundTable[(row / 2) % smbios::kSystemWorkaroundCount].systemId);
    }
    for (uint16_t i = 0; i < tableLength && i < 0x8000; ++i) {
        table.push_back(input.byte());
    }

    {
        std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
        strategies.push_back(std::make_unique<smbios::SmbiosBufferStrategy>(
            std::make_shared<const smbios::SmbiosTableBytes>(smbios::SmbiosTableBytes{{}, table})));
        smbios::SmbiosTable smbiosTable(std::move(strategies), false);
        smbiosTable.initializeWorkaround();
        tarnwick_fuzz::exerciseTable(smbiosTable, input, filterType);
    }

    // The system-ID sources read the factories' table: memory has nothing,
    // and the factory serves the same table as bytes.
    smbios::SmbiosFactory::getFactory()->setTableBytes(
        std::make_shared<const smbios::SmbiosTableBytes>(smbios::SmbiosTableBytes{{}, table}));
    smbios::SmbiosFactory::getFactory()->setMode(smbios::SmbiosFactory::BufferMode);
    memory::MemoryFactory::getFactory()->setMode(memory::MemoryFactory::FileMode);
    memory::MemoryFactory::getFactory()->setParameter("memFile", std::string());
    smbios::getSystemId();
    try {
        smbios::isVornByOemString();
        smbios::getSystemIdFromOemString();
        smbios::getSystemIdFromTypeD0();
    } catch (const smbios::IException &) {
    }
    smbios::resetLibraryFactories();
    return 0;
}
