// The cases of the walk's rules.
#include "tests/check/CheckCases.h"

#include "tests/support/SmbiosBuilder.h"

namespace tarnwick_test {

std::vector<RuleCase> walkCases() {
    return {
        {"walk.end-of-table-missing", "no type 127", nullptr, [](CaseTable &t) { t.structures.pop_back(); }},
        {"walk.structure-after-end-of-table", "a structure after type 127", nullptr,
         [](CaseTable &t) { t.trailing = structure(126, 0x0030, Bytes(4, 0)); }},
        {"walk.bytes-after-end-of-table", "bytes after type 127", nullptr,
         [](CaseTable &t) {
             t.trailing = {0xDE, 0xAD};
         }},
        {"walk.length-below-header", "length 2", nullptr,
         [](CaseTable &t) {
             t.structures.insert(t.structures.end() - 1, Bytes{0x80, 0x02, 0x40, 0x00, 0x00, 0x00});
         }},
        {"walk.structure-truncated", "formatted area past the end", nullptr,
         [](CaseTable &t) { t.structures.back() = Bytes{0x7F, 0x10, 0x21, 0x00, 0x00, 0x00}; }},
        {"walk.strings-unterminated", "no double zero", nullptr,
         [](CaseTable &t) {
             t.structures.back() = Bytes{0x7F, 0x04, 0x21, 0x00, 'x'};
         }},
        {"walk.handle-duplicate", "two structures of handle 0", nullptr, [](CaseTable &t) { t.set(0x0020, 2, 0, 2); }},
        {"walk.handle-reserved", "handle FFFEh", nullptr, [](CaseTable &t) { t.set(0x0020, 2, 0xFFFE, 2); }},
    };
}

}  // namespace tarnwick_test
