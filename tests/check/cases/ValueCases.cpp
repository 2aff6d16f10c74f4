// The cases of the value rules: a value past an enumeration's table, one the
// table names reserved, one a decoder finds outside the range itself, and a
// reserved bit set. The values broken are of fields no profile requires.
#include "tests/check/CheckCases.h"

#include "tests/support/SmbiosBuilder.h"

namespace tarnwick_test {
namespace {

// A USB port behind an internal header.
void addPort(CaseTable &t) {
    t.structures.insert(t.structures.end() - 1, structure(8, 0x0008, Bytes{1, 0x00, 2, 0x12, 0x10}, {"J1", "USB 1"}));
}

}  // namespace

std::vector<RuleCase> valueCases() {
    return {
        {"value.undefined", "port type 24h past its table", addPort, [](CaseTable &t) { t.set(0x0008, 0x08, 0x24); }},
        {"value.undefined", "memory type 16h reserved", nullptr, [](CaseTable &t) { t.set(0x0011, 0x12, 0x16); }},
        {"value.undefined", "partition row position 0", addDeviceRange, [](CaseTable &t) { t.set(0x0014, 0x10, 0); }},
        {"value.reserved-bits-set", "memory type detail bit 0", nullptr,
         [](CaseTable &t) { t.set(0x0011, 0x13, 0x0081, 2); }},
    };
}

}  // namespace tarnwick_test
