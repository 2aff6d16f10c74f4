// Factory set-up and the string census for the library benchmarks.
#include "BenchSupport.h"

#include "image/SmbiosImage.h"
#include "memory/MemoryFactory.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosWorkaround.h"

namespace tarnwick_bench {

void resetFactories() {
    smbios::SmbiosFactory::getFactory()->reset();
    smbios::SmbiosWorkaroundFactory::getFactory()->reset();
    memory::MemoryFactory::getFactory()->reset();
}

void useImage(const BenchImage &image) {
    memory::MemoryFactory::getFactory()->reset();
    memory::MemoryFactory *memory = memory::MemoryFactory::getFactory();
    memory->setParameter("memFile", image.path);
    memory->setMode(memory::MemoryFactory::FileMode);
}

void useImageThroughFactories(const BenchImage &image) {
    resetFactories();
    useImage(image);
    smbios::SmbiosFactory::getFactory()->setMode(smbios::SmbiosFactory::MemoryMode);
}

std::vector<uint8_t> stringCounts(const BenchImage &image) {
    const std::vector<uint8_t> bytes = tarnwick_tools::readBinaryFile(image.path);
    const uint8_t *table = bytes.data() + image.tableAddress;
    std::vector<uint8_t> counts;
    std::size_t at = 0;
    while (at + 4 <= image.tableLength && table[at + 1] >= 4) {
        std::size_t next = at + table[at + 1];
        uint8_t strings = 0;
        // A string set is either a lone double zero or strings each ended by
        // a zero, the last followed by one more.
        if (next + 1 < image.tableLength && !(table[next] == 0 && table[next + 1] == 0)) {
            while (next < image.tableLength && table[next] != 0) {
                while (next < image.tableLength && table[next] != 0) {
                    ++next;
                }
                ++strings;
                ++next;
            }
            next -= 1;
        }
        counts.push_back(strings);
        if (table[at] == 127) {
            break;
        }
        at = next + 2;
    }
    return counts;
}

}  // namespace tarnwick_bench
