// Reading SMBIOS dumps and raw tables, and laying them out in memory images.
#include "image/SmbiosImage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tarnwick_tools {
namespace {

constexpr std::size_t kSmbios2EntryPointSize = 0x1F;
constexpr std::size_t kSmbios3EntryPointSize = 0x18;

uint32_t readLe(const uint8_t *bytes, int width) {
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

void writeLe(uint8_t *bytes, uint64_t value, int width) {
    for (int i = 0; i < width; ++i) {
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// The position `at` bytes into `bytes`.
std::vector<uint8_t>::const_iterator offsetIn(const std::vector<uint8_t> &bytes, std::size_t at) {
    return bytes.begin() + static_cast<std::ptrdiff_t>(at);
}

bool startsWith(const std::vector<uint8_t> &bytes, const char *anchor) {
    const std::size_t length = std::strlen(anchor);
    return bytes.size() >= length && std::memcmp(bytes.data(), anchor, length) == 0;
}

}  // namespace

bool SmbiosSource::isSmbios3() const {
    return startsWith(entryPoint, "_SM3_");
}

void fixChecksum(uint8_t *record, std::size_t length, std::size_t checksumOffset) {
    record[checksumOffset] = 0;
    uint8_t sum = 0;
    for (std::size_t i = 0; i < length; ++i) {
        sum = static_cast<uint8_t>(sum + record[i]);
    }
    record[checksumOffset] = static_cast<uint8_t>(0x100 - sum);
}

SmbiosSource readDumpBin(const std::vector<uint8_t> &file) {
    SmbiosSource source;
    uint32_t tableOffset = 0;
    uint32_t tableLength = 0;
    if (startsWith(file, "_SM3_") && file.size() >= kSmbios3EntryPointSize) {
        source.entryPoint.assign(file.begin(), offsetIn(file, kSmbios3EntryPointSize));
        tableOffset = readLe(&file[0x10], 4);
        tableLength = readLe(&file[0x0C], 4);
    } else if (startsWith(file, "_SM_") && file.size() >= kSmbios2EntryPointSize) {
        const std::size_t epsLength = std::max<std::size_t>(file[0x05], kSmbios2EntryPointSize);
        source.entryPoint.assign(file.begin(), offsetIn(file, std::min(epsLength, file.size())));
        tableOffset = readLe(&file[0x18], 4);
        tableLength = readLe(&file[0x16], 2);
    } else {
        throw std::runtime_error("not a dmidecode binary dump: no _SM_ or _SM3_ entry point at offset 0");
    }
    if (tableOffset > file.size()) {
        throw std::runtime_error("the dump's table address lies past the end of the file");
    }
    // A table shorter than the entry point's length (or maximum) is taken
    // as far as the dump goes.
    const std::size_t available = file.size() - tableOffset;
    source.table.assign(offsetIn(file, tableOffset),
                        offsetIn(file, tableOffset + std::min<std::size_t>(tableLength, available)));
    return source;
}

TableCensus surveyTable(const std::vector<uint8_t> &table) {
    TableCensus census;
    const std::size_t length = table.size();
    std::size_t at = 0;
    while (at + 4 <= length && table[at + 1] >= 4) {
        std::size_t end = at + table[at + 1];
        while (end + 1 < length && (table[end] != 0 || table[end + 1] != 0)) {
            ++end;
        }
        end += 2;
        ++census.structures;
        census.largestStructure = static_cast<uint16_t>(
            std::max<std::size_t>(census.largestStructure, std::min<std::size_t>(end, length) - at));
        if (table[at] == 127) {
            break;
        }
        at = end;
    }
    return census;
}

SmbiosSource fromRawTable(std::vector<uint8_t> table, uint8_t majorVersion, uint8_t minorVersion) {
    if (table.size() > 0xFFFF) {
        throw std::runtime_error("a raw table longer than 65535 bytes has no SMBIOS 2.x entry point");
    }
    const TableCensus census = surveyTable(table);
    SmbiosSource source;
    source.entryPoint.assign(kSmbios2EntryPointSize, 0);
    uint8_t *ep = source.entryPoint.data();
    std::copy_n("_SM_", 4, ep);
    ep[0x05] = kSmbios2EntryPointSize;
    ep[0x06] = majorVersion;
    ep[0x07] = minorVersion;
    writeLe(ep + 0x08, census.largestStructure, 2);
    std::copy_n("_DMI_", 5, ep + 0x10);
    writeLe(ep + 0x16, table.size(), 2);
    writeLe(ep + 0x1C, census.structures, 2);
    ep[0x1E] = static_cast<uint8_t>((majorVersion << 4) | (minorVersion & 0x0F));
    source.table = std::move(table);
    return source;
}

SmbiosSource fromRsmb(const std::vector<uint8_t> &buffer) {
    if (buffer.size() < 8) {
        throw std::runtime_error("an RSMB buffer holds at least its 8-byte header");
    }
    const uint32_t declared = readLe(&buffer[4], 4);
    std::vector<uint8_t> table(offsetIn(buffer, 8),
                               offsetIn(buffer, 8 + std::min<std::size_t>(declared, buffer.size() - 8)));
    return fromRawTable(std::move(table), buffer[1], buffer[2]);
}

std::vector<uint8_t> buildMemoryImage(const SmbiosSource &source, const ImageLayout &layout) {
    std::vector<uint8_t> image(layout.imageSize, 0);
    const std::size_t epSize = source.entryPoint.size();
    if (uint64_t{layout.entryPointAddress} + epSize > image.size() ||
        uint64_t{layout.tableAddress} + source.table.size() > image.size()) {
        throw std::runtime_error("the entry point or the table does not fit in the image");
    }
    const bool overlaps = layout.tableAddress < layout.entryPointAddress + epSize &&
                          layout.entryPointAddress < layout.tableAddress + source.table.size();
    if (overlaps) {
        throw std::runtime_error("the entry point and the table overlap");
    }
    std::copy(source.table.begin(), source.table.end(), image.begin() + layout.tableAddress);
    std::copy(source.entryPoint.begin(), source.entryPoint.end(), image.begin() + layout.entryPointAddress);

    uint8_t *ep = image.data() + layout.entryPointAddress;
    if (source.isSmbios3()) {
        writeLe(ep + 0x10, layout.tableAddress, 4);
        writeLe(ep + 0x14, 0, 4);
        fixChecksum(ep, std::min<std::size_t>(ep[0x06], epSize), 0x05);
    } else if (epSize >= kSmbios2EntryPointSize) {
        writeLe(ep + 0x18, layout.tableAddress, 4);
        fixChecksum(ep + 0x10, 0x0F, 0x05);  // the intermediate (_DMI_) checksum
        fixChecksum(ep, std::min<std::size_t>(ep[0x05], epSize), 0x04);
    } else {
        throw std::runtime_error("the entry point is too short");
    }
    return image;
}

std::vector<uint8_t> buildDumpBin(const SmbiosSource &source) {
    constexpr uint32_t kDumpTableOffset = 0x20;
    if (source.entryPoint.size() > kDumpTableOffset) {
        throw std::runtime_error("the entry point does not fit before the table");
    }
    std::vector<uint8_t> dump(kDumpTableOffset + source.table.size(), 0);
    std::copy(source.entryPoint.begin(), source.entryPoint.end(), dump.begin());
    std::copy(source.table.begin(), source.table.end(), dump.begin() + kDumpTableOffset);
    uint8_t *ep = dump.data();
    if (source.isSmbios3()) {
        writeLe(ep + 0x10, kDumpTableOffset, 4);
        writeLe(ep + 0x14, 0, 4);
        fixChecksum(ep, std::min<std::size_t>(ep[0x06], source.entryPoint.size()), 0x05);
    } else if (source.entryPoint.size() >= kSmbios2EntryPointSize) {
        writeLe(ep + 0x18, kDumpTableOffset, 4);
        fixChecksum(ep + 0x10, 0x0F, 0x05);
        fixChecksum(ep, std::min<std::size_t>(ep[0x05], source.entryPoint.size()), 0x04);
    } else {
        throw std::runtime_error("the entry point is too short");
    }
    return dump;
}

std::vector<uint8_t> readBinaryFile(const std::string &path) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int error = errno;
        throw std::runtime_error("cannot open " + path + (error != 0 ? std::string(": ") + std::strerror(error) : ""));
    }
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBinaryFile(const std::string &path, const std::vector<uint8_t> &bytes) {
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        const int error = errno;
        throw std::runtime_error("cannot write " + path + (error != 0 ? std::string(": ") + std::strerror(error) : ""));
    }
}

}  // namespace tarnwick_tools
