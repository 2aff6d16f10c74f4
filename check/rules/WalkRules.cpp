// The walk's rules: what the table's structures are as a sequence, before
// any one of them is read (DSP0134 6.1.2, the header; 7.49, the end).
#include <cstring>

#include "check/CheckContext.h"
#include "smbios/format/SmbiosFormat.h"

namespace smbios::check {
namespace {

namespace fmt = smbios::format;

const Rule kRules[] = {
    {"walk.end-of-table-missing", Severity::Error, "DSP0134 3.9.0 7.49",
     "The table ends with an End-of-Table structure (type 127); without it a reader walks on into whatever follows."},
    {"walk.structure-after-end-of-table", Severity::Error, "DSP0134 3.9.0 7.49",
     "Structures after the End-of-Table structure are never seen by a reader that stops there, as readers do."},
    {"walk.bytes-after-end-of-table", Severity::Warning, "DSP0134 3.9.0 5.2",
     "Bytes that are not zero after the last structure and inside the table's length are no structure."},
    {"walk.length-below-header", Severity::Error, "DSP0134 3.9.0 6.1.2",
     "A length below 4 does not even cover the structure's header, and the walk cannot go past it."},
    {"walk.structure-truncated", Severity::Error, "DSP0134 3.9.0 6.1.2",
     "The structure's formatted area runs past the end of the table."},
    {"walk.strings-unterminated", Severity::Error, "DSP0134 3.9.0 6.1.3",
     "A structure's string set ends with two zero bytes; this one runs to the end of the table without them."},
    {"walk.handle-duplicate", Severity::Error, "DSP0134 3.9.0 6.1.2",
     "Each structure's handle is unique; references to a duplicated handle cannot tell which structure they mean."},
    {"walk.handle-reserved", Severity::Error, "DSP0134 3.9.0 6.1.2",
     "Handles FFFEh and FFFFh are reserved: references use them to say that there is no structure."},
};

bool allZero(const uint8_t *bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

void run(Context &context) {
    const fmt::Bytes &table = context.source().table;
    const std::vector<WalkedStructure> &structures = context.structures();
    std::vector<bool> seen(0x10000, false);
    for (const WalkedStructure &structure : structures) {
        if (structure.handle >= 0xFFFE) {
            context.report("walk.handle-reserved", &structure, 2, {},
                           structure.handle == 0xFFFF ? "handle FFFFh is reserved" : "handle FFFEh is reserved");
        } else if (seen[structure.handle]) {
            const WalkedStructure *first = context.byHandle(structure.handle);
            context.report("walk.handle-duplicate", &structure, 2, {},
                           "handle is also that of the structure of type " + std::to_string(first->type) +
                               " at table offset " + std::to_string(first->offset));
        }
        seen[structure.handle] = true;
        if (structure.offset + structure.length > table.size()) {
            context.report("walk.structure-truncated", &structure, 1, {},
                           "length " + std::to_string(structure.length) + " runs " +
                               std::to_string(structure.offset + structure.length - table.size()) +
                               " bytes past the table's end");
        } else if (!structure.stringsEnd) {
            context.report("walk.strings-unterminated", &structure, structure.length, {},
                           "the string set has no closing double zero before the table's end");
        }
    }

    const bool ended = !structures.empty() && structures.back().type == fmt::kEndOfTableType;
    const std::size_t end = context.walkedLength();
    const std::size_t rest = table.size() > end ? table.size() - end : 0;
    const bool stopped = rest >= fmt::kStructureHeaderSize && table[end + 1] < fmt::kStructureHeaderSize &&
                         !allZero(&table[end], fmt::kStructureHeaderSize);
    if (stopped) {
        context.report("walk.length-below-header", nullptr, end + 1, {},
                       "the structure at table offset " + std::to_string(end) + " (type " + std::to_string(table[end]) +
                           ") has length " + std::to_string(table[end + 1]) + "; the walk stops there");
    }
    if (!ended) {
        if (!stopped && !structures.empty() && structures.back().stringsEnd) {
            context.report("walk.end-of-table-missing", nullptr, {}, {},
                           "no End-of-Table structure among the " + std::to_string(structures.size()) +
                               " structures walked");
        }
        return;
    }
    if (rest == 0) {
        return;
    }
    // What follows the end: more structures, or bytes that are none.
    if (fmt::headerAt(table.data(), table.size(), end) && !allZero(&table[end], fmt::kStructureHeaderSize)) {
        std::size_t count = 0;
        for (std::size_t at = end; at != fmt::kNoStructure && count < 0x10000;
             at = fmt::nextStructure(table.data(), table.size(), at)) {
            ++count;
        }
        context.report("walk.structure-after-end-of-table", nullptr, {}, {},
                       std::to_string(count) + " structure(s) from table offset " + std::to_string(end) +
                           " follow the End-of-Table structure");
    } else if (!allZero(&table[end], rest)) {
        context.report("walk.bytes-after-end-of-table", nullptr, {}, {},
                       std::to_string(rest) + " bytes after the End-of-Table structure, at table offset " +
                           std::to_string(end) + ", are not all zero");
    }
}

}  // namespace

RuleGroup walkRules() {
    return RuleGroup{kRules, sizeof kRules / sizeof kRules[0], run};
}

}  // namespace smbios::check
