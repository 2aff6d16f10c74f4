// The SMBIOS byte formats: reading, checking and building each of them.
#include "smbios/format/SmbiosFormat.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include "smbios/Exception.h"
#include "smbios/VerbatimText.h"

namespace smbios::format {
namespace {

constexpr uint16_t kUnknownStructureCount = 9999;

bool startsWith(const Bytes &bytes, const char *anchor) {
    const std::size_t length = std::strlen(anchor);
    return bytes.size() >= length && std::memcmp(bytes.data(), anchor, length) == 0;
}

Bytes::const_iterator offsetIn(const Bytes &bytes, std::size_t at) {
    return bytes.begin() + static_cast<std::ptrdiff_t>(at);
}

[[noreturn]] void throwParse(const char *text) {
    throw ParseExceptionImpl(text);
}

[[noreturn]] void throwFileError(const char *text, const std::string &path, int error) {
    ParseExceptionImpl failure;
    setMessageWithVerbatimValues(failure, text, {{"file", path}, {"err", std::string(std::strerror(error))}});
    throw failure;
}

}  // namespace

uint64_t readLe(const uint8_t *bytes, std::size_t width) {
    uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

void writeLe(uint8_t *bytes, uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint8_t byteSum(const uint8_t *bytes, std::size_t count) {
    uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum = static_cast<uint8_t>(sum + bytes[i]);
    }
    return sum;
}

void fixChecksum(uint8_t *record, std::size_t length, std::size_t checksumAt) {
    record[checksumAt] = 0;
    record[checksumAt] = static_cast<uint8_t>(0x100 - byteSum(record, length));
}

std::size_t structureSize(const uint8_t *table, std::size_t length, std::size_t at) {
    const std::size_t left = length - at;
    const std::size_t zeros = findDoubleZero(table + at, std::min<std::size_t>(table[at + 1], left), left);
    return zeros + 1 < left ? zeros + 2 : left;
}

std::size_t countStrings(const uint8_t *strings, const uint8_t *end) {
    std::size_t count = 0;
    for (const uint8_t *at = strings; at < end && *at != 0 && count < 255; ++count) {
        at = std::find(at, end, uint8_t{0}) + 1;
    }
    return count;
}

TableCensus surveyTable(const uint8_t *table, std::size_t length) {
    TableCensus census;
    for (std::size_t at = nextStructure(table, length, kNoStructure); at != kNoStructure;
         at = nextStructure(table, length, at)) {
        const std::size_t size = structureSize(table, length, at);
        ++census.structures;
        census.largestStructure = std::max(census.largestStructure, size);
        census.usedLength = at + size;
        census.endOfTable = table[at] == kEndOfTableType;
    }
    return census;
}

Bytes replicateTable(const Bytes &table, std::size_t copies) {
    Bytes made;
    uint16_t handle = 0;
    auto append = [&](const uint8_t *structure, std::size_t size) {
        const std::size_t at = made.size();
        made.insert(made.end(), structure, structure + size);
        writeLe(&made[at + 2], handle++, 2);
    };
    for (std::size_t copy = 0; copy < copies; ++copy) {
        for (std::size_t at = nextStructure(table.data(), table.size(), kNoStructure); at != kNoStructure;
             at = nextStructure(table.data(), table.size(), at)) {
            if (table[at] != kEndOfTableType) {
                append(&table[at], structureSize(table.data(), table.size(), at));
            }
        }
    }
    const uint8_t endOfTable[] = {kEndOfTableType, 4, 0, 0, 0, 0};
    append(endOfTable, sizeof endOfTable);
    return made;
}

uint8_t entryPoint2Checksum(const SmbiosTableEntryPoint &record) {
    return byteSum(reinterpret_cast<const uint8_t *>(&record), std::min<std::size_t>(record.eps_length, sizeof record));
}

unsigned checkEntryPoint2(const SmbiosTableEntryPoint &record) {
    unsigned failed = 0;
    if (std::memcmp(record.dmi_anchor, "_DMI_", sizeof record.dmi_anchor) != 0) {
        failed |= kIntermediateAnchorCheck;
    }
    if (entryPoint2Checksum(record) != 0) {
        failed |= kChecksumCheck;
    }
    if (record.major_version != 2) {
        failed |= kMajorVersionCheck;
    }
    if (record.eps_length < kEntryPoint2Size) {
        failed |= kLengthCheck;
    }
    return failed;
}

uint8_t entryPoint3Checksum(const uint8_t *bytes, std::size_t available) {
    return byteSum(bytes, std::min<std::size_t>(bytes[6], available));
}

unsigned checkEntryPoint3(const uint8_t *bytes, std::size_t available) {
    if (available < kEntryPoint3Size) {
        return kLengthCheck;
    }
    const Smbios3EntryPoint record = readEntryPoint3(bytes);
    unsigned failed = 0;
    if (entryPoint3Checksum(bytes, available) != 0) {
        failed |= kChecksumCheck;
    }
    if (record.major_version < 3) {
        failed |= kMajorVersionCheck;
    }
    if (record.eps_length < kEntryPoint3Size) {
        failed |= kLengthCheck;
    }
    if (record.max_table_size == 0) {
        failed |= kTableSizeCheck;
    }
    return failed;
}

Smbios3EntryPoint readEntryPoint3(const uint8_t *bytes) {
    Smbios3EntryPoint record;
    std::memcpy(&record, bytes, sizeof record);
    return record;
}

EntryPointKind kindOf(const Bytes &entryPoint) {
    if (startsWith(entryPoint, "_SM3_")) {
        return EntryPointKind::Smbios3;
    }
    if (startsWith(entryPoint, "_SM_")) {
        return EntryPointKind::Smbios2;
    }
    return entryPoint.size() == kRawSmbiosHeaderSize ? EntryPointKind::RawSmbiosData : EntryPointKind::None;
}

Bytes makeEntryPoint2(const TableCensus &census, std::size_t length, uint32_t tableAddress, uint8_t major,
                      uint8_t minor) {
    if (length > UINT16_MAX) {
        throwParse("A table longer than 65535 bytes needs an SMBIOS 3 entry point.");
    }
    Bytes ep(kEntryPoint2Size, 0);
    std::copy_n("_SM_", 4, ep.begin());
    ep[0x05] = kEntryPoint2Size;
    ep[0x06] = major;
    ep[0x07] = minor;
    writeLe(&ep[0x08], std::min<std::size_t>(census.largestStructure, UINT16_MAX), 2);
    std::copy_n("_DMI_", 5, ep.begin() + 0x10);
    writeLe(&ep[0x16], length, 2);
    writeLe(&ep[0x1C], std::min<std::size_t>(census.structures, UINT16_MAX), 2);
    ep[0x1E] = static_cast<uint8_t>((major << 4) | (minor & 0x0F));
    relocateEntryPoint(ep, tableAddress);
    return ep;
}

Bytes makeEntryPoint3(std::size_t length, uint64_t tableAddress, uint8_t major, uint8_t minor, uint8_t docrev) {
    if (length > UINT32_MAX) {
        throwParse("A table longer than 4 GiB has no SMBIOS entry point.");
    }
    Bytes ep(kEntryPoint3Size, 0);
    std::copy_n("_SM3_", 5, ep.begin());
    ep[0x06] = kEntryPoint3Size;
    ep[0x07] = major;
    ep[0x08] = minor;
    ep[0x09] = docrev;
    ep[0x0A] = 1;  // the 3.0 entry point layout
    writeLe(&ep[0x0C], length, 4);
    relocateEntryPoint(ep, tableAddress);
    return ep;
}

bool needsEntryPoint3(std::size_t length, uint8_t major) {
    return length > UINT16_MAX || major >= 3;
}

void relocateEntryPoint(Bytes &ep, uint64_t tableAddress) {
    switch (kindOf(ep)) {
    case EntryPointKind::Smbios3:
        if (ep.size() < kEntryPoint3Size) {
            break;
        }
        writeLe(&ep[0x10], tableAddress, 8);
        fixChecksum(ep.data(), std::min<std::size_t>(ep[0x06], ep.size()), 0x05);
        return;
    case EntryPointKind::Smbios2:
        if (ep.size() < kEntryPoint2Size || tableAddress > UINT32_MAX) {
            break;
        }
        writeLe(&ep[0x18], tableAddress, 4);
        fixChecksum(&ep[0x10], 0x0F, 0x05);  // the intermediate (_DMI_) checksum
        fixChecksum(ep.data(), std::min<std::size_t>(ep[0x05], ep.size()), 0x04);
        return;
    default:
        break;
    }
    throwParse("The entry point is too short, or cannot address the table.");
}

void describeInRecord(const SmbiosTableBytes &source, SmbiosTableEntryPoint &record) {
    const Bytes &ep = source.entryPoint;
    if (kindOf(ep) == EntryPointKind::Smbios2) {
        record = SmbiosTableEntryPoint{};
        std::memcpy(&record, ep.data(), std::min(ep.size(), sizeof record));
        return;
    }
    const std::pair<uint8_t, uint8_t> version = versionOf(source);
    record.major_version = version.first;
    record.minor_version = version.second;
    record.table_length = static_cast<uint16_t>(source.table.size());
    record.num_structures = kUnknownStructureCount;
}

std::pair<uint8_t, uint8_t> versionOf(const SmbiosTableBytes &source) {
    const Bytes &ep = source.entryPoint;
    switch (kindOf(ep)) {
    case EntryPointKind::Smbios3:
        return ep.size() >= 9 ? std::make_pair(ep[7], ep[8]) : std::make_pair(uint8_t{3}, uint8_t{0});
    case EntryPointKind::Smbios2:
        return ep.size() >= 8 ? std::make_pair(ep[6], ep[7]) : std::make_pair(uint8_t{2}, uint8_t{0});
    case EntryPointKind::RawSmbiosData:
        return {ep[1], ep[2]};
    case EntryPointKind::None:
        break;
    }
    return {0, 0};
}

SmbiosTableBytes parseDumpBin(const Bytes &file) {
    SmbiosTableBytes source;
    uint64_t tableOffset = 0;
    std::size_t tableLength = 0;
    if (startsWith(file, "_SM3_") && file.size() >= kEntryPoint3Size) {
        source.entryPoint.assign(file.begin(), offsetIn(file, kEntryPoint3Size));
        tableOffset = readLe(&file[0x10], 8);
        tableLength = static_cast<std::size_t>(readLe(&file[0x0C], 4));
    } else if (startsWith(file, "_SM_") && file.size() >= kEntryPoint2Size) {
        const std::size_t epsLength = std::max<std::size_t>(file[0x05], kEntryPoint2Size);
        source.entryPoint.assign(file.begin(), offsetIn(file, std::min(epsLength, file.size())));
        tableOffset = readLe(&file[0x18], 4);
        tableLength = static_cast<std::size_t>(readLe(&file[0x16], 2));
    } else {
        throwParse("Not a dmidecode binary dump: no _SM_ or _SM3_ entry point at offset 0.");
    }
    if (tableOffset > file.size()) {
        throwParse("The dump's table address lies past the end of the file.");
    }
    const std::size_t available = file.size() - static_cast<std::size_t>(tableOffset);
    const auto start = static_cast<std::size_t>(tableOffset);
    source.table.assign(offsetIn(file, start), offsetIn(file, start + std::min(tableLength, available)));
    return source;
}

Bytes buildDumpBin(const SmbiosTableBytes &given) {
    const SmbiosTableBytes source = withSmbiosEntryPoint(given);
    if (source.entryPoint.size() > kDumpTableOffset) {
        throwParse("The entry point does not fit before the table.");
    }
    Bytes dump(kDumpTableOffset + source.table.size(), 0);
    Bytes ep = source.entryPoint;
    relocateEntryPoint(ep, kDumpTableOffset);
    std::copy(ep.begin(), ep.end(), dump.begin());
    std::copy(source.table.begin(), source.table.end(), dump.begin() + kDumpTableOffset);
    return dump;
}

SmbiosTableBytes parseRawSmbiosData(const Bytes &buffer) {
    if (buffer.size() < kRawSmbiosHeaderSize) {
        throwParse("An RSMB buffer holds at least its 8-byte header.");
    }
    SmbiosTableBytes source;
    source.entryPoint.assign(buffer.begin(), offsetIn(buffer, kRawSmbiosHeaderSize));
    const auto declared = static_cast<std::size_t>(readLe(&buffer[4], 4));
    source.table.assign(
        offsetIn(buffer, kRawSmbiosHeaderSize),
        offsetIn(buffer, kRawSmbiosHeaderSize + std::min<std::size_t>(declared, buffer.size() - kRawSmbiosHeaderSize)));
    return source;
}

Bytes buildRawSmbiosData(uint8_t major, uint8_t minor, const Bytes &table) {
    Bytes buffer(kRawSmbiosHeaderSize + table.size(), 0);
    buffer[1] = major;
    buffer[2] = minor;
    writeLe(&buffer[4], table.size(), 4);
    std::copy(table.begin(), table.end(), buffer.begin() + kRawSmbiosHeaderSize);
    return buffer;
}

SmbiosTableBytes readSysfsTables(const std::string &directory) {
    SmbiosTableBytes source;
    const std::string entryPointPath = directory + "/smbios_entry_point";
    // An entry point is 1Fh bytes at most; the limit only keeps a file
    // that is none from being read whole.
    source.entryPoint = readFileBytes(entryPointPath, 0x100);
    const EntryPointKind kind = kindOf(source.entryPoint);
    if (kind != EntryPointKind::Smbios2 && kind != EntryPointKind::Smbios3) {
        ParseExceptionImpl failure;
        setMessageWithVerbatimValues(failure, "No SMBIOS entry point (_SM_ or _SM3_) in %(file)s",
                                     {{"file", entryPointPath}});
        throw failure;
    }
    source.table = readFileBytes(directory + "/DMI");
    return source;
}

SmbiosTableBytes sourceWithEntryPoint(Bytes table, uint8_t major, uint8_t minor) {
    if (major == 0 && minor == 0) {
        major = kBareTableMajor;
        minor = kBareTableMinor;
    }
    SmbiosTableBytes made;
    const std::size_t length = table.size();
    if (needsEntryPoint3(length, major) && major < 3) {
        // The 64-bit entry point exists from version 3.0 on; a 2.x table too
        // long for its own entry point is published as 3.0.
        major = 3;
        minor = 0;
    }
    made.entryPoint = needsEntryPoint3(length, major) ? makeEntryPoint3(length, 0, major, minor)
                                                      : makeEntryPoint2(surveyTable(table), length, 0, major, minor);
    made.table = std::move(table);
    return made;
}

SmbiosTableBytes withSmbiosEntryPoint(const SmbiosTableBytes &source) {
    const EntryPointKind kind = kindOf(source.entryPoint);
    if (kind == EntryPointKind::Smbios2 || kind == EntryPointKind::Smbios3) {
        return source;
    }
    const std::pair<uint8_t, uint8_t> version = versionOf(source);
    return sourceWithEntryPoint(source.table, version.first, version.second);
}

ImageLayout layoutFor(std::size_t tableLength) {
    ImageLayout layout;
    if (layout.tableAddress + tableLength > layout.entryPointAddress) {
        layout.tableAddress = 0x100000;
        layout.imageSize = (layout.tableAddress + tableLength + 0xFFF) & ~std::size_t{0xFFF};
    }
    return layout;
}

Bytes buildMemoryImage(const SmbiosTableBytes &given, const ImageLayout &layout) {
    const SmbiosTableBytes source = withSmbiosEntryPoint(given);
    const std::size_t epSize = source.entryPoint.size();
    if (uint64_t{layout.entryPointAddress} + epSize > layout.imageSize ||
        uint64_t{layout.tableAddress} + source.table.size() > layout.imageSize) {
        throwParse("The entry point or the table does not fit in the image.");
    }
    if (layout.tableAddress < layout.entryPointAddress + epSize &&
        layout.entryPointAddress < layout.tableAddress + source.table.size()) {
        throwParse("The entry point and the table overlap.");
    }
    Bytes image(layout.imageSize, 0);
    Bytes ep = source.entryPoint;
    relocateEntryPoint(ep, layout.tableAddress);
    std::copy(source.table.begin(), source.table.end(), image.begin() + layout.tableAddress);
    std::copy(ep.begin(), ep.end(), image.begin() + layout.entryPointAddress);
    return image;
}

Bytes buildMemoryImage(const SmbiosTableBytes &source) {
    return buildMemoryImage(source, layoutFor(source.table.size()));
}

namespace {

// The bytes of `area` (read from `base` on) at `at`, at most `count`.
Bytes bytesAt(const Bytes &area, uint64_t base, uint64_t at, uint64_t count) {
    if (at < base || at - base >= area.size()) {
        return {};
    }
    const auto start = static_cast<std::ptrdiff_t>(at - base);
    const auto end = start + static_cast<std::ptrdiff_t>(std::min<uint64_t>(count, area.size() - (at - base)));
    return Bytes(area.begin() + start, area.begin() + end);
}

}  // namespace

SmbiosTableBytes tableOfImage(const ImageReader &read, uint32_t offset) {
    // As the library reads a 2.x candidate: the whole record, ending below the limit.
    constexpr std::size_t kRecord2 = sizeof(SmbiosTableEntryPoint);
    const uint64_t base = offset != 0 ? offset : kEntryPoint2SearchStart;
    const Bytes area = read(base, offset != 0 ? std::max(kRecord2, kEntryPoint3Size) : kEntryPoint3SearchEnd - base);
    struct Candidate {
        uint64_t at;
        bool smbios3;
    };
    std::vector<Candidate> candidates;
    const auto hasAnchor = [&](uint64_t at, const char *anchor) {
        const Bytes bytes = bytesAt(area, base, at, std::strlen(anchor));
        return bytes.size() == std::strlen(anchor) && std::memcmp(bytes.data(), anchor, bytes.size()) == 0;
    };
    for (uint64_t at = base; at + kRecord2 < kEntryPoint2SearchLimit; at += kEntryPointSearchStep) {
        if (hasAnchor(at, "_SM_")) {
            candidates.push_back({at, false});
        }
        if (offset != 0) {
            break;
        }
    }
    const uint64_t first3 = offset != 0 ? offset : kEntryPoint3SearchStart;
    for (uint64_t at = first3; at + kEntryPoint3Size <= kEntryPoint3SearchEnd; at += kEntryPointSearchStep) {
        if (hasAnchor(at, "_SM3_")) {
            candidates.push_back({at, true});
        }
        if (offset != 0) {
            break;
        }
    }
    if (candidates.empty()) {
        char where[48] = "from E0000h to FFFFFh";
        if (offset != 0) {
            (void)std::snprintf(where, sizeof where, "at %02Xh", static_cast<unsigned>(offset));
        }
        throw ParseExceptionImpl(std::string("no SMBIOS entry point (_SM_ or _SM3_) ") + where);
    }
    const auto passes = [&](const Candidate &candidate) {
        const Bytes record = bytesAt(area, base, candidate.at, candidate.smbios3 ? kEntryPoint3Size : kRecord2);
        if (candidate.smbios3) {
            return record.size() == kEntryPoint3Size && checkEntryPoint3(record.data(), record.size()) == 0;
        }
        SmbiosTableEntryPoint entryPoint{};
        std::memcpy(&entryPoint, record.data(), std::min(record.size(), sizeof entryPoint));
        return checkEntryPoint2(entryPoint) == 0;
    };
    const auto chosen = std::find_if(candidates.begin(), candidates.end(), passes);
    const Candidate &taken = chosen != candidates.end() ? *chosen : candidates.front();
    SmbiosTableBytes source;
    if (taken.smbios3) {
        source.entryPoint = bytesAt(area, base, taken.at, kEntryPoint3Size);
        if (source.entryPoint.size() == kEntryPoint3Size) {
            source.table = read(readLe(&source.entryPoint[0x10], 8),
                                std::min<uint64_t>(readLe(&source.entryPoint[0x0C], 4), kLargestTable));
        }
        return source;
    }
    // As a dump holds it: at least 1Fh bytes, more if its length says so;
    // an --offset candidate's longer record is read from the image.
    const Bytes lengthByte = bytesAt(area, base, taken.at + 5, 1);
    const std::size_t length = std::max<std::size_t>(lengthByte.empty() ? 0 : lengthByte[0], kEntryPoint2Size);
    source.entryPoint = read(taken.at, length);
    if (source.entryPoint.size() >= kEntryPoint2Size) {
        source.table = read(readLe(&source.entryPoint[0x18], 4), readLe(&source.entryPoint[0x16], 2));
    }
    return source;
}

namespace {

std::string mebibytes(std::size_t bytes) {
    return std::to_string(bytes >> 20) + " MiB";
}

[[noreturn]] void throwTooLarge(const std::string &path, std::size_t limit, const std::string &found) {
    ParseExceptionImpl failure;
    setMessageWithVerbatimValues(failure, "%(file)s is larger than the largest SMBIOS table (%(limit)s): %(found)s",
                                 {{"file", path}, {"limit", mebibytes(limit)}, {"found", found}});
    throw failure;
}

// A file open for reading, read in pieces and never past what is asked.
class InputFile {
public:
    explicit InputFile(std::string name) : path(std::move(name)) {
        errno = 0;
        file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) {
            throwFileError("Could not read the SMBIOS table file %(file)s: %(err)s", path, errno != 0 ? errno : ENOENT);
        }
    }
    ~InputFile() { (void)std::fclose(file); }  // read-only: nothing to lose
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    // The file's size where the file says it (a regular file), else -1.
    long long size() const {
        std::error_code failed;
        const std::filesystem::path name(path);
        if (!std::filesystem::is_regular_file(name, failed)) {
            return -1;
        }
        const std::uintmax_t bytes = std::filesystem::file_size(name, failed);
        return failed ? -1 : static_cast<long long>(std::min<std::uintmax_t>(bytes, LLONG_MAX));
    }

    // Appends up to `count` more bytes to `bytes`; fewer only at the end.
    void read(Bytes &bytes, std::size_t count) {
        uint8_t chunk[16384];
        while (count > 0) {
            const std::size_t got = std::fread(chunk, 1, std::min(count, sizeof chunk), file);
            bytes.insert(bytes.end(), chunk, chunk + got);
            count -= got;
            if (got == 0) {
                break;
            }
        }
        if (std::ferror(file) != 0) {
            throwFileError("Could not read the SMBIOS table file %(file)s: %(err)s", path, errno != 0 ? errno : EIO);
        }
    }

    const std::string path;

private:
    std::FILE *file = nullptr;
};

// Reads the rest of the table that the record read so far declares:
// `length` bytes from `offset` of the file; `exact` where the record gives
// the table's length, not its maximum (as a 3.x entry point does, whose
// table may be shorter).
void readDeclaredTable(InputFile &file, Bytes &bytes, uint64_t offset, uint64_t length, bool exact) {
    if (length > kLargestTable) {
        throwTooLarge(file.path, kLargestTable, "its header declares a table of " + std::to_string(length) + " bytes");
    }
    if (offset > kLargestTable) {
        throwTooLarge(file.path, kLargestTable, "its header places the table at offset " + std::to_string(offset));
    }
    const uint64_t end = offset + length;
    if (bytes.size() < end) {
        file.read(bytes, static_cast<std::size_t>(end - bytes.size()));
    }
    if (bytes.size() < end && exact) {
        const uint64_t missing = end - bytes.size();
        ParseExceptionImpl failure;
        setMessageWithVerbatimValues(failure,
                                     "%(file)s ends %(missing)s before the end of the table its header declares "
                                     "(%(length)s bytes at offset %(offset)s)",
                                     {{"file", file.path},
                                      {"missing", std::to_string(missing) + (missing == 1 ? " byte" : " bytes")},
                                      {"length", std::to_string(length)},
                                      {"offset", std::to_string(offset)}});
        throw failure;
    }
}

}  // namespace

Bytes readFileBytes(const std::string &path, std::size_t limit) {
    InputFile file(path);
    const long long size = file.size();
    if (size >= 0 && static_cast<unsigned long long>(size) > limit) {
        throwTooLarge(path, limit, std::to_string(size) + " bytes");
    }
    Bytes bytes;
    file.read(bytes, limit == SIZE_MAX ? limit : limit + 1);
    if (bytes.size() > limit) {
        throwTooLarge(path, limit, "it goes on past " + std::to_string(limit) + " bytes");
    }
    return bytes;
}

SmbiosTableBytes readDumpFile(const std::string &path) {
    InputFile file(path);
    Bytes bytes;
    file.read(bytes, kDumpTableOffset);
    // The entry point says where the table lies and how long it is; a file
    // that is no dump is refused as parseDumpBin refuses it.
    if (startsWith(bytes, "_SM3_") && bytes.size() >= kEntryPoint3Size) {
        readDeclaredTable(file, bytes, readLe(&bytes[0x10], 8), readLe(&bytes[0x0C], 4), false);
    } else if (startsWith(bytes, "_SM_") && bytes.size() >= kEntryPoint2Size) {
        readDeclaredTable(file, bytes, readLe(&bytes[0x18], 4), readLe(&bytes[0x16], 2), true);
    }
    return parseDumpBin(bytes);
}

SmbiosTableBytes readRawSmbiosDataFile(const std::string &path) {
    InputFile file(path);
    Bytes bytes;
    file.read(bytes, kRawSmbiosHeaderSize);
    if (bytes.size() == kRawSmbiosHeaderSize) {
        readDeclaredTable(file, bytes, kRawSmbiosHeaderSize, readLe(&bytes[4], 4), true);
    }
    return parseRawSmbiosData(bytes);
}

void writeFileBytes(const std::string &path, const Bytes &bytes) {
    errno = 0;
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        throwFileError("Could not write %(file)s: %(err)s", path, errno != 0 ? errno : EIO);
    }
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int error = written ? 0 : (errno != 0 ? errno : EIO);
    if (std::fclose(file) != 0 && error == 0) {
        error = errno != 0 ? errno : EIO;
    }
    if (error != 0) {
        throwFileError("Could not write %(file)s: %(err)s", path, error);
    }
}

}  // namespace smbios::format
