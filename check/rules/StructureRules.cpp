// The structures' own rules: each structure's length against the lengths
// DSP0134 gives its type at each version (7.x), and its strings (6.1.3).
#include <algorithm>
#include <string>

#include "check/CheckContext.h"
#include "check/rules/HexText.h"
#include "check/rules/StructureLengths.h"
#include "smbios/format/SmbiosFormat.h"

namespace smbios::check {
namespace {

namespace fmt = smbios::format;

const Rule kRules[] = {
    {"structure.length-below-minimum", Severity::Error, "DSP0134 3.9.0 7",
     "A structure is at least as long as the first version that defines its type makes it, with the items its "
     "counts declare; a shorter one lacks fields every reader expects."},
    {"structure.length-of-older-version", Severity::Warning, "DSP0134 3.9.0 6.1.2",
     "A structure of a table of one version has that version's fields; a length of an older version leaves out "
     "fields the table's version claims."},
    {"structure.string-number-past-last", Severity::Error, "DSP0134 3.9.0 6.1.3",
     "A string field names one of the structure's strings, or none with 0; a number past the last string names "
     "nothing."},
    {"structure.string-unprintable", Severity::Warning, "DSP0134 3.9.0 6.1.3",
     "Strings are text: printable ASCII, or from 3.5 on UTF-8; control bytes and bytes that are no such text show "
     "as garbage."},
};

// The length of a type's structures from one version of DSP0134 on: the
// formatted area without the items a variable-length type counts. Rows of a
// type run from its first version to its latest change. Types 10 and 14
// have no count: their length alone says how many items they hold.
struct LengthRow {
    uint8_t type;
    uint8_t major;
    uint8_t minor;
    uint8_t length;
};

const LengthRow kLengths[] = {
    {0, 2, 0, 0x12},  {0, 2, 1, 0x13},  {0, 2, 3, 0x14},  {0, 2, 4, 0x18},  {0, 3, 1, 0x1A},  {1, 2, 0, 0x08},
    {1, 2, 1, 0x19},  {1, 2, 4, 0x1B},  {2, 2, 0, 0x08},  {3, 2, 0, 0x09},  {3, 2, 1, 0x0D},  {3, 2, 3, 0x15},
    {3, 2, 7, 0x16},  {3, 3, 9, 0x18},  {4, 2, 0, 0x1A},  {4, 2, 1, 0x20},  {4, 2, 3, 0x23},  {4, 2, 5, 0x28},
    {4, 2, 6, 0x2A},  {4, 3, 0, 0x30},  {4, 3, 6, 0x32},  {5, 2, 0, 0x0F},  {5, 2, 1, 0x10},  {6, 2, 0, 0x0C},
    {7, 2, 0, 0x0F},  {7, 2, 1, 0x13},  {7, 3, 1, 0x1B},  {8, 2, 0, 0x09},  {9, 2, 0, 0x0C},  {9, 2, 1, 0x0D},
    {9, 2, 6, 0x11},  {9, 3, 2, 0x13},  {9, 3, 4, 0x17},  {9, 3, 5, 0x18},  {10, 2, 0, 0x04}, {11, 2, 0, 0x05},
    {12, 2, 0, 0x05}, {13, 2, 0, 0x16}, {14, 2, 0, 0x05}, {15, 2, 0, 0x14}, {15, 2, 1, 0x17}, {16, 2, 1, 0x0F},
    {16, 2, 7, 0x17}, {17, 2, 1, 0x15}, {17, 2, 3, 0x1B}, {17, 2, 6, 0x1C}, {17, 2, 7, 0x22}, {17, 2, 8, 0x28},
    {17, 3, 2, 0x54}, {17, 3, 3, 0x5C}, {17, 3, 7, 0x64}, {18, 2, 1, 0x17}, {19, 2, 1, 0x0F}, {19, 2, 7, 0x1F},
    {20, 2, 1, 0x13}, {20, 2, 7, 0x23}, {21, 2, 1, 0x07}, {22, 2, 1, 0x10}, {22, 2, 2, 0x1A}, {23, 2, 2, 0x0D},
    {24, 2, 2, 0x05}, {25, 2, 2, 0x09}, {26, 2, 2, 0x14}, {27, 2, 2, 0x0C}, {27, 2, 7, 0x0F}, {28, 2, 2, 0x14},
    {29, 2, 2, 0x14}, {30, 2, 2, 0x06}, {31, 2, 3, 0x1C}, {32, 2, 3, 0x0B}, {33, 2, 3, 0x1F}, {34, 2, 3, 0x0B},
    {35, 2, 3, 0x0B}, {36, 2, 3, 0x10}, {37, 2, 3, 0x07}, {38, 2, 3, 0x10}, {39, 2, 3, 0x10}, {40, 2, 6, 0x05},
    {41, 2, 6, 0x0B}, {42, 3, 0, 0x06}, {43, 3, 1, 0x1F}, {44, 3, 3, 0x08}, {45, 3, 5, 0x18}, {46, 3, 5, 0x09},
};

// The rows of `type`, which lie together: the table is in type order.
std::pair<const LengthRow *, const LengthRow *> rowsOf(uint8_t type) {
    return std::equal_range(std::begin(kLengths), std::end(kLengths), LengthRow{type, 0, 0, 0},
                            [](const LengthRow &a, const LengthRow &b) { return a.type < b.type; });
}

// The items of a variable-length type: `count` of them (the byte at
// `countAt`), each `size` bytes (or the byte at `sizeAt` where that is not
// 0), from offset `from` on, in every layout whose length reaches `from`.
struct ItemLayout {
    uint8_t type;
    uint8_t countAt;
    uint8_t sizeAt;
    uint8_t size;
    uint8_t from;
    const char *what;
};

const ItemLayout kItems[] = {
    {2, 0x0E, 0, 2, 0x0F, "contained object handles"},
    {3, 0x13, 0x14, 0, 0x15, "contained elements"},
    {5, 0x0E, 0, 2, 0x0F, "memory module handles"},
    {9, 0x12, 0, 5, 0x13, "peer groups"},
    {15, 0x15, 0x16, 0, 0x17, "log type descriptors"},
    {37, 0x06, 0, 3, 0x07, "memory devices"},
    {42, 0x05, 0, 1, 0x06, "bytes of interface data"},
    {44, 0x06, 0, 1, 0x08, "bytes of the processor's data block"},
    {45, 0x17, 0, 2, 0x18, "associated component handles"},
};

// The items one structure holds, as its own counts declare them.
struct Items {
    const ItemLayout *layout = nullptr;  // none: a type of fixed length, or counts the structure does not hold
    std::size_t count = 0;
    std::size_t size = 0;
    std::size_t bytes() const { return count * size; }
};

Items itemsOf(const WalkedStructure &structure, const uint8_t *bytes) {
    Items items;
    for (const ItemLayout &layout : kItems) {
        if (layout.type != structure.type) {
            continue;
        }
        if (structure.length > layout.countAt && structure.length > layout.sizeAt) {
            items.layout = &layout;
            items.count = bytes[layout.countAt];
            items.size = layout.sizeAt != 0 ? bytes[layout.sizeAt] : layout.size;
        }
    }
    return items;
}

// The length a structure of `row`'s layout has with `items`.
std::size_t lengthWith(const LengthRow &row, const Items &items) {
    return row.length + (items.layout != nullptr && row.length >= items.layout->from ? items.bytes() : 0);
}

std::string versionText(uint8_t major, uint8_t minor) {
    return std::to_string(major) + "." + std::to_string(minor);
}

std::string itemsText(const Items &items) {
    if (items.layout == nullptr || items.count == 0) {
        return {};
    }
    return std::string(" with its ") + items.layout->what + " (" + std::to_string(items.count) + " of " +
           std::to_string(items.size) + " bytes)";
}

}  // namespace

std::size_t lengthOfVersion(const WalkedStructure &structure, const uint8_t *bytes, decode::Version version) {
    const LengthRow *current = nullptr;
    const auto [begin, end] = rowsOf(structure.type);
    for (const LengthRow *row = begin; row != end; ++row) {
        if (version.atLeast(row->major, row->minor)) {
            current = row;
        }
    }
    return current != nullptr ? lengthWith(*current, itemsOf(structure, bytes)) : 0;
}

namespace {

void checkLength(Context &context, const WalkedStructure &structure, const uint8_t *bytes) {
    const LengthRow *first = nullptr;
    const LengthRow *current = nullptr;  // the latest row of the table's version or before it
    const decode::Version version = context.version();
    const auto [begin, end] = rowsOf(structure.type);
    for (const LengthRow *row = begin; row != end; ++row) {
        first = first != nullptr ? first : row;
        if (version.atLeast(row->major, row->minor)) {
            current = row;
        }
    }
    if (first == nullptr) {
        return;  // 126, 127, a maker's type or one DSP0134 does not define
    }
    const Items items = itemsOf(structure, bytes);
    const std::size_t itemsEnd = items.layout != nullptr ? items.layout->from + items.bytes() : 0;
    const std::size_t minimum = std::max(lengthWith(*first, items), itemsEnd);
    if (structure.length < minimum) {
        std::string message = "length " + hexText(structure.length) + " is below the " + hexText(minimum) +
                              " of the shortest type " + std::to_string(structure.type) + " structure" +
                              itemsText(items);
        if (itemsEnd > lengthWith(*first, items)) {
            message = "length " + hexText(structure.length) + " leaves no room for the " + items.layout->what +
                      " its counts declare (" + std::to_string(items.count) + " of " + std::to_string(items.size) +
                      " bytes), which end at " + hexText(itemsEnd);
        }
        context.report("structure.length-below-minimum", &structure, 1, {}, std::move(message));
        return;
    }
    // A bare table claims no version: its structures are as long as they are.
    if (current == nullptr || context.entryPointKind() == EntryPointKind::None) {
        return;
    }
    const std::size_t expected = lengthWith(*current, items);
    if (structure.length >= expected) {
        return;
    }
    const LengthRow *older = first;
    for (const LengthRow *row = first; row != current; ++row) {
        if (lengthWith(*row, items) <= structure.length) {
            older = row;
        }
    }
    const std::string claimed = "a " + versionText(version.major, version.minor) + " table's type " +
                                std::to_string(structure.type) + itemsText(items) + " is " + hexText(expected) +
                                " long";
    std::string message = "length " + hexText(structure.length);
    if (lengthWith(*older, items) == structure.length) {
        message += " is that of SMBIOS " + versionText(older->major, older->minor) + "; " + claimed;
    } else {
        message += " lies between the lengths of SMBIOS " + versionText(older->major, older->minor) + " and " +
                   versionText((older + 1)->major, (older + 1)->minor) + "; " + claimed;
    }
    context.report("structure.length-of-older-version", &structure, 1, {}, std::move(message));
}

// The key of the first String field, at any depth, that names string
// `number`, or "" when none does.
std::string keyOfString(const std::vector<decode::Field> &fields, std::size_t number) {
    for (const decode::Field &field : fields) {
        if (field.kind == decode::Kind::String && field.stringNumber == number) {
            return decode::jsonKeyOf(field);
        }
        std::string key = keyOfString(field.children, number);
        if (!key.empty()) {
            return key;
        }
    }
    return {};
}

// Each String field, at any depth, whose number is past the last string; a
// list's unnamed items go by the list's name.
void checkStringNumbers(Context &context, const WalkedStructure &structure, const std::vector<decode::Field> &fields,
                        std::size_t count, const decode::Field *list = nullptr) {
    for (const decode::Field &field : fields) {
        const decode::Field &named = field.name.empty() && list != nullptr ? *list : field;
        if (field.kind == decode::Kind::String && field.stringNumber > count) {
            context.report("structure.string-number-past-last", &structure, {}, decode::jsonKeyOf(named),
                           named.name + " names string " + std::to_string(field.stringNumber) + "; the structure has " +
                               std::to_string(count) + " strings");
        }
        checkStringNumbers(context, structure, field.children, count, &field);
    }
}

// The size of the well-formed UTF-8 sequence of two to four bytes at `at`,
// or 0 where none starts (an overlong form, a surrogate, past U+10FFFF).
std::size_t utf8SequenceAt(const uint8_t *at, const uint8_t *end) {
    const uint8_t lead = *at;
    std::size_t size = 0;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - at) < size || at[1] < low || at[1] > high) {
        return 0;
    }
    for (std::size_t i = 2; i < size; ++i) {
        if (at[i] < 0x80 || at[i] > 0xBF) {
            return 0;
        }
    }
    return size;
}

// The first byte of the string from `begin` to `end` that is no text: a
// control byte, or outside printable ASCII where `utf8` does not allow it.
const uint8_t *firstUnprintable(const uint8_t *begin, const uint8_t *end, bool utf8) {
    for (const uint8_t *at = begin; at < end;) {
        if (*at >= 0x20 && *at <= 0x7E) {
            ++at;
            continue;
        }
        const std::size_t sequence = utf8 && *at >= 0x80 ? utf8SequenceAt(at, end) : 0;
        if (sequence == 0) {
            return at;
        }
        at += sequence;
    }
    return nullptr;
}

void checkStrings(Context &context, const WalkedStructure &structure, const uint8_t *bytes, const uint8_t *end) {
    const uint8_t *strings = bytes + structure.length;
    const std::size_t count = structure.stringCount;
    checkStringNumbers(context, structure, structure.decoded.fields, count);
    const bool utf8 = context.version().atLeast(3, 5);
    const uint8_t *at = strings;
    for (std::size_t number = 1; number <= count; ++number) {
        const uint8_t *stringEnd = std::find(at, end, uint8_t{0});
        const uint8_t *bad = firstUnprintable(at, stringEnd, utf8);
        if (bad != nullptr) {
            const std::string kind = *bad < 0x20 || *bad == 0x7F ? "the control byte "
                                     : utf8                      ? "a byte of no UTF-8 character, "
                                                                 : "a byte outside printable ASCII, ";
            context.report("structure.string-unprintable", &structure, static_cast<std::size_t>(bad - bytes),
                           keyOfString(structure.decoded.fields, number),
                           "string " + std::to_string(number) + " holds " + kind + hexText(*bad) + ", at its byte " +
                               std::to_string(bad - at + 1));
        }
        at = stringEnd + 1;
    }
}

void each(Context &context, const WalkedStructure &structure) {
    const fmt::Bytes &table = context.source().table;
    // A structure that runs past the table, or whose strings do, is the
    // walk's finding alone.
    if (!structure.stringsEnd || structure.offset + structure.length > table.size()) {
        return;
    }
    const uint8_t *bytes = &table[structure.offset];
    if (structure.type != 126 && structure.type < 128) {
        checkLength(context, structure, bytes);
    }
    checkStrings(context, structure, bytes, bytes + structure.size);
}

}  // namespace

RuleGroup structureRules() {
    return RuleGroup{kRules, sizeof kRules / sizeof kRules[0], nullptr, each};
}

}  // namespace smbios::check
