// The baselines: one read and the least possible work on the bytes.
#include "Baselines.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace tarnwick_bench {
namespace {

struct FileCloser {
    void operator()(std::FILE *file) const { (void)std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool readAt(const std::string &path, long offset, uint8_t *buffer, std::size_t length) {
    File file(std::fopen(path.c_str(), "rb"));
    return file && std::fseek(file.get(), offset, SEEK_SET) == 0 && std::fread(buffer, 1, length, file.get()) == length;
}

}  // namespace

uint32_t scanBiosArea(const std::string &path) {
    constexpr uint32_t kStart = 0xE0000;
    constexpr std::size_t kLength = 0x20000;
    std::unique_ptr<uint8_t[]> area(new uint8_t[kLength]);
    if (!readAt(path, kStart, area.get(), kLength)) {
        return 0;
    }
    for (std::size_t at = 0; at + 32 < kLength; at += 16) {
        if (std::memcmp(area.get() + at, "_SM_", 4) == 0) {
            return static_cast<uint32_t>(kStart + at);
        }
    }
    return 0;
}

uint32_t walkTableBare(const std::string &path, uint32_t tableAddress, std::size_t tableLength) {
    std::unique_ptr<uint8_t[]> table(new uint8_t[tableLength]);
    if (!readAt(path, static_cast<long>(tableAddress), table.get(), tableLength)) {
        return 0;
    }
    const uint8_t *bytes = table.get();
    uint32_t structures = 0;
    std::size_t at = 0;
    while (at + 4 <= tableLength && bytes[at + 1] >= 4) {
        ++structures;
        if (bytes[at] == 127) {
            break;
        }
        std::size_t next = at + bytes[at + 1];
        while (next + 1 < tableLength && (bytes[next] != 0 || bytes[next + 1] != 0)) {
            ++next;
        }
        at = next + 2;
    }
    return structures;
}

}  // namespace tarnwick_bench
