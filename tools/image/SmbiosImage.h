// Building memory images from SMBIOS tables: reading dmidecode binary dumps
// and raw tables, and laying out an entry point and a table in a 1 MiB image
// of physical memory. Shared by the tools and the tests.
#ifndef TARNWICK_TOOLS_IMAGE_SMBIOSIMAGE_H
#define TARNWICK_TOOLS_IMAGE_SMBIOSIMAGE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick_tools {

// A structure table and the entry point that describes it, as firmware
// published them. The entry point is the raw _SM_ (31 bytes) or _SM3_ (24
// bytes) record; its table address is rewritten when the pair is placed.
struct SmbiosSource {
    std::vector<uint8_t> entryPoint;
    std::vector<uint8_t> table;

    bool isSmbios3() const;
};

// Where the pieces go in an image.
struct ImageLayout {
    uint32_t entryPointAddress = 0xF0000;  // in the F segment, where dmidecode looks too
    uint32_t tableAddress = 0x10000;
    std::size_t imageSize = 0x100000;  // 1 MiB
};

// Parses the output of `dmidecode --dump-bin`: the entry point at offset 0,
// the table at the offset its address field names. Throws
// std::runtime_error for a file that is not such a dump.
SmbiosSource readDumpBin(const std::vector<uint8_t> &file);

// A raw table (as Linux publishes it in /sys/firmware/dmi/tables/DMI), given
// a synthesised SMBIOS 2.x entry point of the given version.
SmbiosSource fromRawTable(std::vector<uint8_t> table, uint8_t majorVersion = 2, uint8_t minorVersion = 8);

// A 16-bit-addressed view of the buffer that the Windows firmware-table
// query returns for 'RSMB': an 8-byte header, then the table.
SmbiosSource fromRsmb(const std::vector<uint8_t> &buffer);

// An image of physical memory holding the entry point (its table address
// and checksums fixed) and the table at the layout's addresses, zero
// elsewhere. Throws std::runtime_error when they do not fit.
std::vector<uint8_t> buildMemoryImage(const SmbiosSource &source, const ImageLayout &layout = ImageLayout());

// The file `dmidecode --dump-bin` writes: the entry point at offset 0 with
// its table address rewritten to 0x20 (checksums fixed), the table at 0x20.
std::vector<uint8_t> buildDumpBin(const SmbiosSource &source);

// The number of structures a walk of the table visits (up to and including
// the end-of-table structure), and the size of the largest.
struct TableCensus {
    uint16_t structures = 0;
    uint16_t largestStructure = 0;
};
TableCensus surveyTable(const std::vector<uint8_t> &table);

// Sets the byte at `checksumOffset` so that the first `length` bytes of
// `record` sum to zero (mod 256).
void fixChecksum(uint8_t *record, std::size_t length, std::size_t checksumOffset);

std::vector<uint8_t> readBinaryFile(const std::string &path);
void writeBinaryFile(const std::string &path, const std::vector<uint8_t> &bytes);

}  // namespace tarnwick_tools

#endif  // TARNWICK_TOOLS_IMAGE_SMBIOSIMAGE_H
