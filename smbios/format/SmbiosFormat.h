// Every SMBIOS byte format in one place: the 2.x and 3.x entry points, the
// buffer of Windows' firmware-table query ('RSMB'), dmidecode's binary dump
// file, the pair of files Linux publishes in sysfs, memory images, and the
// rule that measures a structure and walks a table. Private to the library
// and its tools, tests, fuzz targets and benchmarks: clients see the
// records these describe through the public headers.
#ifndef TARNWICK_SMBIOS_FORMAT_SMBIOSFORMAT_H
#define TARNWICK_SMBIOS_FORMAT_SMBIOSFORMAT_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTableEntryPoint.h"
#include "smbios/format/StructureScan.h"

namespace smbios::format {

using Bytes = std::vector<uint8_t>;

// ---- Byte order and checksums --------------------------------------------

uint64_t readLe(const uint8_t *bytes, std::size_t width);
void writeLe(uint8_t *bytes, uint64_t value, std::size_t width);
uint8_t byteSum(const uint8_t *bytes, std::size_t count);
// Sets record[checksumAt] so that the first `length` bytes sum to zero.
void fixChecksum(uint8_t *record, std::size_t length, std::size_t checksumAt);

// ---- Structures and the walk ----------------------------------------------

constexpr std::size_t kStructureHeaderSize = 4;
constexpr uint8_t kEndOfTableType = 127;
constexpr std::size_t kNoStructure = SIZE_MAX;

// Whether a structure header starts at `at` of a table of `length` bytes:
// its four bytes fit, and its length byte is at least 4 (zero padding, say,
// leaves nothing to walk by).
inline bool headerAt(const uint8_t *table, std::size_t length, std::size_t at) {
    return length >= kStructureHeaderSize && at <= length - kStructureHeaderSize &&
           table[at + 1] >= kStructureHeaderSize;
}

// The start of the structure after the one at `at` (the first one when `at`
// is kNoStructure), or kNoStructure at the end: after a type 127 structure,
// or where no further header fits. The strings of the structure at `at` are
// searched for their closing double zero only up to four bytes before the
// table's end, so a table shorter than four bytes ends after its first
// structure. Reads only inside the table. Inline: a walk spends its time
// here.
inline std::size_t nextStructure(const uint8_t *table, std::size_t length, std::size_t at) {
    std::size_t candidate = 0;
    if (at != kNoStructure) {
        if (table[at] == kEndOfTableType || length < kStructureHeaderSize) {
            return kNoStructure;
        }
        // The strings are searched up to length - 2, so that the next header
        // is looked for only where one could fit.
        candidate = findDoubleZero(table, at + table[at + 1], length - 2) + 2;
    }
    return headerAt(table, length, candidate) ? candidate : kNoStructure;
}

// The size of the structure at `at` with its strings: up to and including
// the first double zero from the end of its formatted area, or up to the
// table's end when there is none.
std::size_t structureSize(const uint8_t *table, std::size_t length, std::size_t at);

// The strings of a string-set that runs from `strings` to `end`: the
// non-empty ones before the first empty one, at most 255 (the largest
// string number).
std::size_t countStrings(const uint8_t *strings, const uint8_t *end);

struct TableCensus {
    std::size_t structures = 0;        // what a walk visits, type 127 included
    std::size_t largestStructure = 0;  // with strings
    std::size_t usedLength = 0;        // up to the end of the last structure visited
    bool endOfTable = false;           // whether the walk met a type 127 structure
};
TableCensus surveyTable(const uint8_t *table, std::size_t length);
inline TableCensus surveyTable(const Bytes &table) {
    return surveyTable(table.data(), table.size());
}

// `copies` copies of the table's structures, type 127 left out, then one
// type 127 structure: a large table made of real structures. Handles are
// renumbered from 0 in table order, so each is unique.
Bytes replicateTable(const Bytes &table, std::size_t copies);

// ---- Entry points ---------------------------------------------------------

constexpr std::size_t kEntryPoint2Size = 0x1F;
constexpr std::size_t kEntryPoint3Size = 0x18;
// The 2.x search range and step (physical addresses): a candidate's 32-byte
// read must end below kEntryPoint2SearchLimit.
constexpr uint64_t kEntryPoint2SearchStart = 0xE0000;
constexpr uint64_t kEntryPoint2SearchLimit = 0xFFFFF;
// The 3.x entry point lies in the F segment on a 16-byte boundary.
constexpr uint64_t kEntryPoint3SearchStart = 0xF0000;
constexpr uint64_t kEntryPoint3SearchEnd = 0x100000;
constexpr uint64_t kEntryPointSearchStep = 16;

// The 64-bit entry point, as firmware stores it (little-endian).
#pragma pack(push, 1)
struct Smbios3EntryPoint {
    uint8_t anchor[5];  // "_SM3_"
    uint8_t checksum;
    uint8_t eps_length;  // 18h
    uint8_t major_version;
    uint8_t minor_version;
    uint8_t docrev;
    uint8_t entry_point_revision;  // 01h: the 3.0 layout
    uint8_t reserved;
    uint32_t max_table_size;
    uint64_t table_address;
};
#pragma pack(pop)
static_assert(sizeof(Smbios3EntryPoint) == kEntryPoint3Size, "the 3.x entry point is 24 bytes");

// The checks an entry point can fail, as a set of bits.
enum EntryPointCheck : unsigned {
    kIntermediateAnchorCheck = 1u << 0,  // 2.x: "_DMI_" at 10h
    kChecksumCheck = 1u << 1,            // the bytes the length byte covers sum to zero
    kMajorVersionCheck = 1u << 2,        // 2.x: 2; 3.x: at least 3
    kLengthCheck = 1u << 3,              // 2.x: at least 1Fh; 3.x: at least 18h
    kTableSizeCheck = 1u << 4,           // 3.x: a maximum table size above zero
};

// The checksum over the first min(eps_length, 32) bytes of the record, and
// the checks that the 2.x record fails (none: 0).
uint8_t entryPoint2Checksum(const SmbiosTableEntryPoint &record);
unsigned checkEntryPoint2(const SmbiosTableEntryPoint &record);

// The same for the 3.x entry point at the start of `bytes`: the checksum
// covers the first min(eps_length, available) bytes.
uint8_t entryPoint3Checksum(const uint8_t *bytes, std::size_t available);
unsigned checkEntryPoint3(const uint8_t *bytes, std::size_t available);
Smbios3EntryPoint readEntryPoint3(const uint8_t *bytes);

EntryPointKind kindOf(const Bytes &entryPoint);

// A 2.x entry point for a table of `length` bytes at `tableAddress` (at most
// 65,535 bytes), or a 3.x one (any length); checksums fixed.
Bytes makeEntryPoint2(const TableCensus &census, std::size_t length, uint32_t tableAddress, uint8_t major,
                      uint8_t minor);
Bytes makeEntryPoint3(std::size_t length, uint64_t tableAddress, uint8_t major, uint8_t minor, uint8_t docrev = 0);

// Whether a table needs the 3.x entry point: it is longer than 65,535 bytes
// or of version 3 and above.
bool needsEntryPoint3(std::size_t length, uint8_t major);

// Rewrites the table address of an _SM_ or _SM3_ entry point and fixes its
// checksums. Throws ParseException for any other record.
void relocateEntryPoint(Bytes &entryPoint, uint64_t tableAddress);

// ---- Sources: a table and the record in front of it ------------------------

// The facts of the 2.x record that the source's own record gives: for an
// _SM_ entry point its bytes; otherwise the version (RSMB header, _SM3_),
// table_length (low 16 bits of the table's size) and num_structures 9999.
// Fields that the source says nothing of keep their values.
void describeInRecord(const SmbiosTableBytes &source, SmbiosTableEntryPoint &record);

// The SMBIOS version the source's record names (0.0 for a bare table).
std::pair<uint8_t, uint8_t> versionOf(const SmbiosTableBytes &source);

// The file `dmidecode --dump-bin` writes: the entry point at offset 0 with its
// table address rewritten to 20h, the table at 20h.
constexpr uint32_t kDumpTableOffset = 0x20;
// Throws ParseException for a file that is not such a dump. A table
// shorter than its entry point says is taken as far as the file goes.
SmbiosTableBytes parseDumpBin(const Bytes &file);
// The source with an _SM_ or _SM3_ entry point (made by
// withSmbiosEntryPoint when it has none).
Bytes buildDumpBin(const SmbiosTableBytes &source);

// The buffer of the firmware-table query: calling method, major, minor, DMI
// revision, a 32-bit length, then the table.
constexpr std::size_t kRawSmbiosHeaderSize = 8;
// The header is kept as the entry point; the table is as long as the header
// says, at most as long as the buffer. Throws ParseException for a buffer
// shorter than its header.
SmbiosTableBytes parseRawSmbiosData(const Bytes &buffer);
Bytes buildRawSmbiosData(uint8_t major, uint8_t minor, const Bytes &table);

// The two files of /sys/firmware/dmi/tables: smbios_entry_point and DMI.
constexpr const char *kSysfsTablesDirectory = "/sys/firmware/dmi/tables";
// Throws ParseException naming the file that cannot be read, or the entry
// point file when it holds neither anchor.
SmbiosTableBytes readSysfsTables(const std::string &directory);

// The table with an entry point made for it: 3.x where needsEntryPoint3
// says so, else 2.x; version 0.0 (none known) is taken as 2.8, the last 2.x
// one, which every decoder knows, and a 2.x table too long for a 2.x entry
// point is published as 3.0, the first version with the 64-bit one.
SmbiosTableBytes sourceWithEntryPoint(Bytes table, uint8_t major, uint8_t minor);
// The version a table without one (a bare raw table) is taken to be, when
// it needs one: for the entry point of an export, and for decoding.
constexpr uint8_t kBareTableMajor = 2;
constexpr uint8_t kBareTableMinor = 8;
// The source with an entry point of its own: a bare table or one behind an
// RSMB header gets one of its version (sourceWithEntryPoint); an _SM_ or
// _SM3_ source is returned as it is.
SmbiosTableBytes withSmbiosEntryPoint(const SmbiosTableBytes &source);

// Where a memory image puts its pieces. A table that does not fit below the
// entry point goes above 1 MiB, and the image grows to hold it.
struct ImageLayout {
    uint32_t entryPointAddress = 0xF0000;  // in the F segment, where every search looks
    uint32_t tableAddress = 0x10000;
    std::size_t imageSize = 0x100000;  // 1 MiB
};
// The layout that a table of `tableLength` bytes needs.
ImageLayout layoutFor(std::size_t tableLength);
// An image of physical memory with the source's entry point (made, if it
// has none, by withSmbiosEntryPoint; its table address and checksums fixed)
// and table at the layout's addresses, zero elsewhere. Throws
// ParseException when they do not fit or overlap.
Bytes buildMemoryImage(const SmbiosTableBytes &source, const ImageLayout &layout);
Bytes buildMemoryImage(const SmbiosTableBytes &source);

// Reads `count` bytes of a memory image from `at`, fewer where the image
// ends (none past it).
using ImageReader = std::function<Bytes(uint64_t at, uint64_t count)>;
// The entry point of an image and the table it names, as they are: the
// candidates of the library's search (2.x from E0000h, then 3.x in the F
// segment, on 16-byte boundaries; only `offset` when it is given), one that
// passes its checks taken before one that does not, and one that does not
// taken all the same, so that what is wrong with it can be said. The table
// is read as far as its record declares (at most kLargestTable) and the
// image holds. Throws ParseException when there is no candidate at all.
SmbiosTableBytes tableOfImage(const ImageReader &read, uint32_t offset = 0);

// ---- Files ----------------------------------------------------------------

// The largest table a file is taken to hold (a bare table, sysfs's DMI
// file, the table of a dump or an RSMB buffer): far beyond any firmware's,
// whose tables stay below 100 KiB, and far below the 4 GiB a 3.x entry
// point can declare, so that no file can make a reader hold gigabytes.
constexpr std::size_t kLargestTable = std::size_t{64} << 20;

// The whole file, at most `limit` bytes: a file known to be larger is
// refused before the read, a stream (a device, a pipe) that goes on past
// the limit during it. Throws ParseException "Could not read the SMBIOS
// table file %(file)s: %(err)s", or one that names the file, the limit and
// the size found.
Bytes readFileBytes(const std::string &path, std::size_t limit = kLargestTable);
// A dump file and an RSMB buffer file, read as far as the record at their
// start declares and no further (the table's length, at most kLargestTable):
// a file that ends before a table of a declared length (2.x, RSMB) does is
// refused, naming the file and the bytes missing; a 3.x entry point
// declares a maximum, which the table may stay below. Otherwise as
// parseDumpBin and parseRawSmbiosData.
SmbiosTableBytes readDumpFile(const std::string &path);
SmbiosTableBytes readRawSmbiosDataFile(const std::string &path);
// Throws ParseException "Could not write %(file)s: %(err)s".
void writeFileBytes(const std::string &path, const Bytes &bytes);

}  // namespace smbios::format

#endif  // TARNWICK_SMBIOS_FORMAT_SMBIOSFORMAT_H
