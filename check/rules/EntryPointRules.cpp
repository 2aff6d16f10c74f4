// The entry point's rules: the _SM_, _SM3_ or RSMB record in front of the
// table, its own bytes and what it says of the table (DSP0134 5.2).
#include <algorithm>
#include <cstring>
#include <string>

#include "check/CheckContext.h"
#include "check/rules/HexText.h"
#include "smbios/format/SmbiosFormat.h"

namespace smbios::check {
namespace {

namespace fmt = smbios::format;

const Rule kRules[] = {
    {"entry-point.anchor-unknown", Severity::Error, "DSP0134 3.9.0 5.2",
     "The record in front of the table starts with the anchor _SM_ or _SM3_ (or is an RSMB header); a reader finds "
     "no other."},
    {"entry-point.intermediate-anchor-missing", Severity::Error, "DSP0134 3.9.0 5.2.1",
     "A 2.x entry point holds the intermediate anchor _DMI_ at offset 10h, which readers of the older DMI record look "
     "for."},
    {"entry-point.checksum-bad", Severity::Error, "DSP0134 3.9.0 5.2",
     "The entry point's bytes, as many as its length byte says, sum to zero; readers reject a record that does not."},
    {"entry-point.intermediate-checksum-bad", Severity::Error, "DSP0134 3.9.0 5.2.1",
     "The 0Fh bytes of a 2.x entry point from its intermediate anchor on sum to zero; DMI readers check them alone."},
    {"entry-point.length-wrong", Severity::Error, "DSP0134 3.9.0 5.2",
     "The entry point's length byte gives the record's size (1Fh for _SM_, 18h for _SM3_), over which its checksum "
     "runs."},
    {"entry-point.revision-unknown", Severity::Error, "DSP0134 3.9.0 5.2",
     "The entry point revision says how the record's later bytes are laid out: 00h for _SM_, 01h for _SM3_; the other "
     "values are reserved."},
    {"entry-point.major-version-wrong", Severity::Error, "DSP0134 3.9.0 5.2",
     "An _SM_ entry point serves version 2 tables, an _SM3_ one version 3 and later ones."},
    {"entry-point.version-unpublished", Severity::Warning, "DSP0134 3.9.0 5.2",
     "The version names a release of DSP0134 that was never published, as when firmware writes the digits of 2.3 "
     "as 2.33; readers must guess which one was meant."},
    {"entry-point.table-truncated", Severity::Error, "DSP0134 3.9.0 5.2.1",
     "The table as found is shorter than the length the record in front of it declares."},
    {"entry-point.table-length-short", Severity::Error, "DSP0134 3.9.0 5.2",
     "The table length (or the 3.x maximum table size) ends before the structures do; a reader that stops there "
     "loses the rest."},
    {"entry-point.table-length-long", Severity::Warning, "DSP0134 3.9.0 5.2.1",
     "A 2.x table length is the table's own length; bytes past the last structure are no part of it."},
    {"entry-point.structure-count-mismatch", Severity::Error, "DSP0134 3.9.0 5.2.1",
     "The 2.x structure count is the number of structures in the table, which readers walk by."},
    {"entry-point.max-structure-size-below-largest", Severity::Error, "DSP0134 3.9.0 5.2.1",
     "The 2.x maximum structure size is the size of the largest structure with its strings; readers size their "
     "buffers by it."},
    {"entry-point.max-structure-size-above-largest", Severity::Warning, "DSP0134 3.9.0 5.2.1",
     "The 2.x maximum structure size is the size of the largest structure with its strings, no more."},
};

// The releases of DSP0134 up to 3.9.0: 2.0 to 2.8, 3.0 to 3.9.
bool published(uint8_t major, uint8_t minor) {
    return (major == 2 && minor <= 8) || (major == 3 && minor <= 9);
}

void checkVersion(Context &context, uint8_t major, uint8_t minor, std::size_t offset) {
    if (published(major, minor)) {
        return;
    }
    const decode::Version meant = context.version();
    std::string message = "version " + std::to_string(major) + "." + std::to_string(minor) + " was never published";
    if (meant.major != major || meant.minor != minor) {
        message += "; it is read as " + std::to_string(meant.major) + "." + std::to_string(meant.minor);
    }
    context.report("entry-point.version-unpublished", nullptr, offset, "major_version", std::move(message));
}

void checkLengthByte(Context &context, uint8_t length, std::size_t expected, std::size_t offset) {
    if (length == expected) {
        return;
    }
    std::string message = "length " + hexText(length) + "; the entry point is " + hexText(expected) + " long";
    if (expected == fmt::kEntryPoint2Size && length == 0x1E) {
        message = "length 1Eh is the one SMBIOS 2.1 gave by mistake; the entry point is 1Fh long";
    }
    context.report("entry-point.length-wrong", nullptr, offset, "eps_length", std::move(message));
}

// What a record's length of the table is: the table's own (2.x), the size
// of the buffer that holds it (RSMB), or a bound (3.x).
enum class Declared { TableLength, BufferLength, MaximumSize };

// What the record declares of the table's length against the table as found
// and the structures walked in it.
void checkTableLength(Context &context, uint64_t declared, std::size_t offset, const char *field, Declared what) {
    const std::size_t found = context.source().table.size();
    const std::size_t walked = context.walkedLength();
    if (what != Declared::MaximumSize && found < declared) {
        context.report("entry-point.table-truncated", nullptr, offset, field,
                       "the table is " + hexText(found, 4) + " bytes long; the record in front of it declares " +
                           hexText(declared, 4));
    } else if (declared < walked) {
        context.report("entry-point.table-length-short", nullptr, offset, field,
                       std::string(field) + " " + hexText(declared, 4) +
                           " ends before the structures walked, which end at " + hexText(walked, 4));
    } else if (what == Declared::TableLength && declared > walked) {
        context.report("entry-point.table-length-long", nullptr, offset, field,
                       std::string(field) + " " + hexText(declared, 4) + " counts " + hexText(declared - walked, 4) +
                           " bytes past the last structure walked, which ends at " + hexText(walked, 4));
    }
}

void checkEntryPoint2(Context &context) {
    const fmt::Bytes &bytes = context.source().entryPoint;
    if (bytes.size() < fmt::kEntryPoint2Size) {
        context.report("entry-point.length-wrong", nullptr, 0, {},
                       "only " + hexText(bytes.size()) + " bytes of the 1Fh of an _SM_ entry point are there");
        return;
    }
    SmbiosTableEntryPoint record{};
    std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof record));
    const unsigned failed = fmt::checkEntryPoint2(record);
    if ((failed & fmt::kIntermediateAnchorCheck) != 0) {
        context.report("entry-point.intermediate-anchor-missing", nullptr, 0x10, "dmi_anchor",
                       "no _DMI_ anchor at offset 10h");
    }
    if ((failed & fmt::kChecksumCheck) != 0) {
        context.report("entry-point.checksum-bad", nullptr, 0x04, "checksum",
                       "the entry point's " + hexText(std::min<std::size_t>(record.eps_length, sizeof record)) +
                           " bytes sum to " + hexText(fmt::entryPoint2Checksum(record)) + ", not zero");
    }
    const uint8_t intermediate = fmt::byteSum(&bytes[0x10], 0x0F);
    if (intermediate != 0) {
        context.report("entry-point.intermediate-checksum-bad", nullptr, 0x15, "intermediate_checksum",
                       "the intermediate bytes 10h to 1Eh sum to " + hexText(intermediate) + ", not zero");
    }
    checkLengthByte(context, record.eps_length, fmt::kEntryPoint2Size, 0x05);
    if (record.entry_point_revision != 0) {
        context.report("entry-point.revision-unknown", nullptr, 0x0A, "entry_point_revision",
                       "revision " + hexText(record.entry_point_revision) +
                           " is reserved; a 2.x entry point's revision is 00h");
    }
    if ((failed & fmt::kMajorVersionCheck) != 0) {
        context.report("entry-point.major-version-wrong", nullptr, 0x06, "major_version",
                       "major version " + std::to_string(record.major_version) + " in an _SM_ entry point; it is 2");
    } else {
        checkVersion(context, record.major_version, record.minor_version, 0x06);
    }
    checkTableLength(context, record.table_length, 0x16, "table_length", Declared::TableLength);

    const std::vector<WalkedStructure> &structures = context.structures();
    if (record.num_structures != structures.size()) {
        context.report("entry-point.structure-count-mismatch", nullptr, 0x1C, "num_structures",
                       "the entry point counts " + std::to_string(record.num_structures) + " structures; " +
                           std::to_string(structures.size()) + " were walked");
    }
    std::size_t largest = 0;
    for (const WalkedStructure &structure : structures) {
        largest = std::max(largest, structure.size);
    }
    if (record.max_structure_size < largest) {
        context.report("entry-point.max-structure-size-below-largest", nullptr, 0x08, "max_structure_size",
                       "maximum structure size " + hexText(record.max_structure_size, 4) +
                           " is below the largest structure walked, of " + hexText(largest, 4) + " bytes");
    } else if (record.max_structure_size > largest) {
        context.report("entry-point.max-structure-size-above-largest", nullptr, 0x08, "max_structure_size",
                       "maximum structure size " + hexText(record.max_structure_size, 4) +
                           " is above the largest structure walked, of " + hexText(largest, 4) + " bytes");
    }
}

void checkEntryPoint3(Context &context) {
    const fmt::Bytes &bytes = context.source().entryPoint;
    if (bytes.size() < fmt::kEntryPoint3Size) {
        context.report("entry-point.length-wrong", nullptr, 0, {},
                       "only " + hexText(bytes.size()) + " bytes of the 18h of an _SM3_ entry point are there");
        return;
    }
    const fmt::Smbios3EntryPoint record = fmt::readEntryPoint3(bytes.data());
    const unsigned failed = fmt::checkEntryPoint3(bytes.data(), bytes.size());
    if ((failed & fmt::kChecksumCheck) != 0) {
        context.report("entry-point.checksum-bad", nullptr, 0x05, "checksum",
                       "the entry point's " + hexText(std::min<std::size_t>(record.eps_length, bytes.size())) +
                           " bytes sum to " + hexText(fmt::entryPoint3Checksum(bytes.data(), bytes.size())) +
                           ", not zero");
    }
    checkLengthByte(context, record.eps_length, fmt::kEntryPoint3Size, 0x06);
    if (record.entry_point_revision != 1) {
        context.report("entry-point.revision-unknown", nullptr, 0x0A, "entry_point_revision",
                       "revision " + hexText(record.entry_point_revision) +
                           " is reserved; the 3.x entry point's revision is 01h");
    }
    if ((failed & fmt::kMajorVersionCheck) != 0) {
        context.report("entry-point.major-version-wrong", nullptr, 0x07, "major_version",
                       "major version " + std::to_string(record.major_version) +
                           " in an _SM3_ entry point; it is 3 or more");
    } else {
        checkVersion(context, record.major_version, record.minor_version, 0x07);
    }
    checkTableLength(context, record.max_table_size, 0x0C, "max_table_size", Declared::MaximumSize);
}

void checkRawSmbiosData(Context &context) {
    const fmt::Bytes &bytes = context.source().entryPoint;
    checkVersion(context, bytes[1], bytes[2], 0x01);
    checkTableLength(context, fmt::readLe(&bytes[4], 4), 0x04, "length", Declared::BufferLength);
}

void run(Context &context) {
    switch (context.entryPointKind()) {
    case EntryPointKind::Smbios2:
        checkEntryPoint2(context);
        break;
    case EntryPointKind::Smbios3:
        checkEntryPoint3(context);
        break;
    case EntryPointKind::RawSmbiosData:
        checkRawSmbiosData(context);
        break;
    case EntryPointKind::None:
        // A bare table has nothing in front of it to check; bytes that are
        // there and no record a reader knows are a fault.
        if (!context.source().entryPoint.empty()) {
            context.report("entry-point.anchor-unknown", nullptr, 0, {},
                           "the " + std::to_string(context.source().entryPoint.size()) +
                               " bytes in front of the table start with neither _SM_ nor _SM3_ and are no RSMB "
                               "header");
        }
        break;
    }
}

}  // namespace

RuleGroup entryPointRules() {
    return RuleGroup{kRules, sizeof kRules / sizeof kRules[0], run};
}

}  // namespace smbios::check
