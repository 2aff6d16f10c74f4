// The cases of the reference rules: handles of the dsp0134 profile's
// "references" that name nothing, or a structure of another type, alone and
// in lists.
#include "tests/check/CheckCases.h"

#include "tests/support/SmbiosBuilder.h"

namespace tarnwick_test {
namespace {

// A server board in the chassis (3), holding the processor (4) and the slot (9).
void addBaseboard(CaseTable &t) {
    const Bytes formatted = {1, 2, 3, 4, 5, 0x09, 6, 0x03, 0x00, 0x0A, 2, 0x04, 0x00, 0x09, 0x00};
    t.structures.insert(
        t.structures.end() - 1,
        structure(2, 0x0002, formatted, {"Tarnwick", "TWB-1", "A1", "BRD-0001", "BRD-AT-0001", "Slot A"}));
}

// A memory channel of one device, the DIMM (11h).
void addMemoryChannel(CaseTable &t) {
    t.structures.insert(t.structures.end() - 1, structure(37, 0x0025, {0x04, 1, 1, 1, 0x11, 0x00}));
}

}  // namespace

std::vector<RuleCase> referenceCases() {
    return {
        {"reference.unresolved", "L1 cache handle names nothing", nullptr,
         [](CaseTable &t) { t.set(0x0004, 0x1A, 0x0042, 2); }},
        {"reference.unresolved", "a contained object handle names nothing", addBaseboard,
         [](CaseTable &t) { t.set(0x0002, 0x11, 0x0042, 2); }},
        {"reference.wrong-type", "memory device array handle names the cache", nullptr,
         [](CaseTable &t) { t.set(0x0011, 0x04, 0x0007, 2); }},
        {"reference.wrong-type", "memory channel device handle names the array", addMemoryChannel,
         [](CaseTable &t) { t.set(0x0025, 0x08, 0x0010, 2); }},
    };
}

}  // namespace tarnwick_test
