// The cases of the value rules: a value past an enumeration's table, one the
// table reserves, ones a decoder finds outside the range itself, and a
// reserved bit set.
#include "tests/check/CheckCases.h"

namespace tarnwick_test {

std::vector<RuleCase> valueCases() {
    return {
        {"value.undefined", "memory array use 10h", nullptr, [](CaseTable &t) { t.set(0x0010, 0x05, 0x10); }},
        {"value.undefined", "wake-up type 0 reserved", nullptr, [](CaseTable &t) { t.set(0x0001, 0x18, 0x00); }},
        {"value.undefined", "processor status 5 reserved", nullptr, [](CaseTable &t) { t.set(0x0004, 0x18, 0x45); }},
        {"value.undefined", "chassis type 40h", nullptr, [](CaseTable &t) { t.set(0x0003, 0x05, 0x40); }},
        {"value.reserved-bits-set", "memory type detail bit 0", nullptr,
         [](CaseTable &t) { t.set(0x0011, 0x13, 0x0081, 2); }},
    };
}

}  // namespace tarnwick_test
