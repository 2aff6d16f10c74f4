// Shared pieces of the fuzz targets.
#include "FuzzSupport.h"

#include <cstring>
#include <new>
#include <sstream>

#include "smbios/Exception.h"

namespace tarnwick_fuzz {

uint8_t InputReader::byte() {
    return at < size ? data[at++] : 0;
}

uint16_t InputReader::word() {
    const uint16_t low = byte();
    return static_cast<uint16_t>(low | (byte() << 8));
}

uint32_t InputReader::dword() {
    const uint32_t low = word();
    return low | (static_cast<uint32_t>(word()) << 16);
}

std::vector<uint8_t> InputReader::rest() {
    std::vector<uint8_t> bytes(data + at, data + size);
    at = size;
    return bytes;
}

uint32_t BufferFirmwarePlatform::getSystemFirmwareTable(Function, uint32_t provider, uint32_t tableId, void *buffer,
                                                        uint32_t bufferSize) {
    if (provider != kRsmbProvider || tableId != 0) {
        return 0;
    }
    if (buffer != nullptr) {
        std::memcpy(buffer, raw.data(), std::min<std::size_t>(bufferSize, raw.size()));
    }
    return static_cast<uint32_t>(raw.size());
}

std::unique_ptr<uint8_t[]> BufferFirmwarePlatform::allocate(std::size_t bytes) {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[bytes]);
}

namespace {

void exerciseItem(const smbios::ISmbiosItem &item, InputReader &input) {
    item.getType();
    item.getHandle();
    // Every string number up to one past the last, and number 0.
    for (unsigned number = 0; number < 256; ++number) {
        try {
            const char *text = item.getStringByStringNumber(static_cast<uint8_t>(number));
            volatile std::size_t length = std::strlen(text);
            (void)length;
        } catch (const smbios::IException &) {
            if (number > 0) {
                break;
            }
        }
    }
    for (int reads = 0; reads < 4; ++reads) {
        const uint32_t offset = input.byte();
        const std::size_t size = input.byte() % 16;
        uint8_t out[16];
        try {
            item.getData(offset, out, size);
        } catch (const smbios::IException &) {
        }
    }
    std::size_t size = 0;
    std::unique_ptr<uint8_t[]> copy = item.getBufferCopy(size);
    if (size != item.getBufferSize()) {
        __builtin_trap();
    }
    std::unique_ptr<smbios::ISmbiosItem> clone = item.clone();
    std::ostringstream dump;
    dump << *clone;
}

}  // namespace

void exerciseTable(smbios::ISmbiosTable &table, InputReader &input, int filterType) {
    const smbios::ISmbiosTable &readOnly = table;
    for (auto it = readOnly.begin(); it != readOnly.end(); ++it) {
        try {
            exerciseItem(*it, input);
        } catch (const smbios::IException &) {
            // Items can refuse to be made (a broken header); the walk goes on.
        }
    }
    for (auto it = table[filterType]; it != table.end(); ++it) {
        try {
            if (it->getType() != filterType) {
                __builtin_trap();  // the filter let another type through
            }
        } catch (const smbios::IException &) {
        }
    }
    std::ostringstream dump;
    try {
        dump << table;
    } catch (const smbios::IException &) {
    }
    table.getTableHeader();
    table.getNumberOfStructures();
}

}  // namespace tarnwick_fuzz
