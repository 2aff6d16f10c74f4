// Fuzz target 2: a memory image, read through the factories as a client
// uses them: the search for the 2.x entry point (strict and lax, with and
// without "offset") and for the 64-bit one, the table read, and the walk.
//
// Input: a mode byte and an offset, then the BIOS area E0000h-FFFFFh, then
// the bytes from 10000h on (where entry points in the seeds put tables).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "FuzzSupport.h"
#include "memory/MemoryFactory.h"
#include "smbios/Exception.h"
#include "smbios/SmbiosFactory.h"

namespace {

constexpr std::size_t kImageSize = 0x100000;
constexpr std::size_t kBiosArea = 0xE0000;
constexpr std::size_t kLowArea = 0x10000;

const std::string &imagePath() {
    static const std::string path = "/tmp/tarnwick-fuzz-image-" + std::to_string(::getpid()) + ".img";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    tarnwick_fuzz::InputReader input(data, size);
    const uint8_t mode = input.byte();
    const uint32_t offset = input.dword();
    const std::vector<uint8_t> rest = input.rest();

    static std::vector<uint8_t> image(kImageSize);
    std::fill(image.begin(), image.end(), 0);
    const std::size_t biosBytes = std::min(rest.size(), kImageSize - kBiosArea);
    std::copy(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(biosBytes), image.begin() + kBiosArea);
    const std::size_t lowBytes = std::min(rest.size() - biosBytes, kBiosArea - kLowArea);
    std::copy(rest.begin() + static_cast<std::ptrdiff_t>(biosBytes),
              rest.begin() + static_cast<std::ptrdiff_t>(biosBytes + lowBytes), image.begin() + kLowArea);
    // Some images end early: the reads past their end must fail cleanly.
    const std::size_t imageSize = (mode & 0x04) ? kBiosArea + (offset % (kImageSize - kBiosArea)) : kImageSize;

    std::FILE *file = std::fopen(imagePath().c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(image.data(), 1, imageSize, file);
    std::fclose(file);

    memory::MemoryFactory *memory = memory::MemoryFactory::getFactory();
    memory->setParameter("memFile", imagePath());
    memory->setMode(memory::MemoryFactory::FileMode);
    smbios::SmbiosFactory *tables = smbios::SmbiosFactory::getFactory();
    tables->setMode(smbios::SmbiosFactory::MemoryMode);
    tables->setParameter("strictValidation", (mode & 0x01) ? 1u : 0u);
    tables->setParameter("offset", (mode & 0x02) ? offset : 0u);
    tables->setParameter("smbios3", 1u);
    try {
        smbios::ISmbiosTable *table = tables->getSingleton();
        tarnwick_fuzz::exerciseTable(*table, input, mode >> 3);
        table->reReadTable();
        tarnwick_fuzz::exerciseTable(*table, input, 127);
    } catch (const smbios::IException &) {
    }
    smbios::resetLibraryFactories();
    return 0;
}
