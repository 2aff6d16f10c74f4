// Factory set-up and the string census for the library benchmarks.
#include "BenchSupport.h"

#include <algorithm>

#include "memory/MemoryFactory.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/format/SmbiosFormat.h"

namespace tarnwick_bench {

void useImage(const BenchImage &image) {
    memory::MemoryFactory::getFactory()->reset();
    memory::MemoryFactory *memory = memory::MemoryFactory::getFactory();
    memory->setParameter("memFile", image.path);
    memory->setMode(memory::MemoryFactory::FileMode);
}

void useImageThroughFactories(const BenchImage &image) {
    smbios::resetLibraryFactories();
    useImage(image);
    smbios::SmbiosFactory::getFactory()->setMode(smbios::SmbiosFactory::MemoryMode);
}

std::vector<uint8_t> stringCounts(const BenchImage &image) {
    namespace fmt = smbios::format;
    const std::vector<uint8_t> bytes = fmt::readFileBytes(image.path);
    const uint8_t *table = bytes.data() + image.tableAddress;
    std::vector<uint8_t> counts;
    for (std::size_t at = fmt::nextStructure(table, image.tableLength, fmt::kNoStructure); at != fmt::kNoStructure;
         at = fmt::nextStructure(table, image.tableLength, at)) {
        const std::size_t end = at + fmt::structureSize(table, image.tableLength, at);
        const std::size_t strings = std::min<std::size_t>(at + table[at + 1], end);
        counts.push_back(static_cast<uint8_t>(fmt::countStrings(table + strings, table + end)));
    }
    return counts;
}

std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategiesAtEntryPoint(const BenchImage &image) {
    std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
    if (image.smbios3) {
        strategies.push_back(std::make_unique<smbios::Smbios3MemoryStrategy>(image.entryPointAddress));
    } else {
        strategies.push_back(std::make_unique<smbios::SmbiosMemoryStrategy>(image.entryPointAddress));
    }
    return strategies;
}

}  // namespace tarnwick_bench
