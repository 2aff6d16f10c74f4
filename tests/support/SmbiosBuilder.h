// Builders for SMBIOS test data: structures, tables, entry points and
// memory images, and a fixture that points the memory factory at an image.
#ifndef TARNWICK_TESTS_SUPPORT_SMBIOSBUILDER_H
#define TARNWICK_TESTS_SUPPORT_SMBIOSBUILDER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "smbios/SmbiosTableEntryPoint.h"
#include "tests/support/TempFile.h"

namespace tarnwick_test {

using Bytes = std::vector<uint8_t>;

// One structure: the four header bytes (length 4 + formatted.size()), the
// formatted bytes, then the strings each closed by a zero byte and one more
// zero byte (two zero bytes without strings).
Bytes structure(uint8_t type, uint16_t handle, const Bytes &formatted = {},
                const std::vector<std::string> &strings = {});
// The end-of-table structure (type 127, length 4).
Bytes endOfTable(uint16_t handle = 0xFEFF);
// The concatenation of several byte strings.
Bytes join(const std::vector<Bytes> &parts);

// What the Windows firmware-table query returns for 'RSMB': an 8-byte
// header (calling method, major, minor, DMI revision, 32-bit length), then
// the table.
Bytes rawSmbiosData(uint8_t major, uint8_t minor, const Bytes &table);

// A valid SMBIOS 2.8 entry point for a table at `tableAddress` (checksums
// fixed, "_DMI_" present, eps_length 0x1F).
smbios::SmbiosTableEntryPoint validEntryPoint(uint32_t tableAddress, uint16_t tableLength, uint16_t structures);
// Recomputes the entry point's checksum over its first eps_length bytes.
void fixEntryPointChecksum(smbios::SmbiosTableEntryPoint &entryPoint);
Bytes bytesOf(const smbios::SmbiosTableEntryPoint &entryPoint);

// Bytes of an image of physical memory, 1 MiB unless said otherwise.
class ImageBytes {
public:
    explicit ImageBytes(std::size_t size = 0x100000) : bytes(size, 0) {}
    ImageBytes &place(uint32_t address, const Bytes &data);
    ImageBytes &place(uint32_t address, const smbios::SmbiosTableEntryPoint &entryPoint);
    // A valid entry point at `entryPointAddress` for `table` at `tableAddress`.
    ImageBytes &placeTable(const Bytes &table, uint32_t entryPointAddress = 0xF0000, uint32_t tableAddress = 0x10000);
    Bytes bytes;
};

// Writes an image to a temporary file and points the memory factory at it
// (FileMode); resets the memory and SMBIOS factories when it ends.
class MemoryImageFixture {
public:
    explicit MemoryImageFixture(const Bytes &image);
    explicit MemoryImageFixture(const std::string &existingImagePath);
    ~MemoryImageFixture();
    MemoryImageFixture(const MemoryImageFixture &) = delete;
    MemoryImageFixture &operator=(const MemoryImageFixture &) = delete;

    const std::string &path() const { return imagePath; }

private:
    std::unique_ptr<TempFile> file;
    std::string imagePath;
};

// The directory of the committed test data (tests/data), as this build's
// programs spell paths.
std::string testDataPath(const std::string &relative);

}  // namespace tarnwick_test

#endif  // TARNWICK_TESTS_SUPPORT_SMBIOSBUILDER_H
