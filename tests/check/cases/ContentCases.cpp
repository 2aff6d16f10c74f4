// The cases of the content rules: a firmware kit's placeholders left in
// identifying strings and in the system's UUID.
#include "tests/check/CheckCases.h"

#include "tests/check/cases/CaseStrings.h"

namespace tarnwick_test {
namespace {

// The DIMM's asset tag, string 5, reads "Not Specified": as string 0 it says
// what it should, written out it is a placeholder.
void dimmAssetTagNotSpecified(CaseTable &t) {
    setStrings(t, 0x0011, {"DIMM 0", "BANK 0", "Samsung", "3A1B5C7D", "Not Specified", "M393A1G40EB1-CRC"});
    t.set(0x0011, 0x19, 0);
}

}  // namespace

std::vector<RuleCase> contentCases() {
    return {
        {"content.placeholder-string", "AMI's words as the system serial number", nullptr,
         [](CaseTable &t) {
             setStrings(t, 0x0001, {"Tarnwick", "TW-100", "A1", "To Be Filled By O.E.M.", "TW100-SKU", "TW"});
         }},
        {"content.placeholder-string", "digits counting up as the DIMM serial number", nullptr,
         [](CaseTable &t) {
             setStrings(t, 0x0011, {"DIMM 0", "BANK 0", "Samsung", "12345678", "DIMM-AT-0", "M393A1G40EB1-CRC"});
         }},
        {"content.placeholder-string", "Not Specified written out, string 0 being none", dimmAssetTagNotSpecified,
         [](CaseTable &t) { t.set(0x0011, 0x19, 5); }},
        {"content.placeholder-uuid", "AMI's default UUID", nullptr,
         [](CaseTable &t) {
             t.set(0x0001, 0x08, 0x0500040003000200ULL, 8);
             t.set(0x0001, 0x10, 0x0900080007000600ULL, 8);
         }},
        {"content.uuid-absent", "a UUID of all 00h", nullptr,
         [](CaseTable &t) {
             t.set(0x0001, 0x08, 0, 8);
             t.set(0x0001, 0x10, 0, 8);
         }},
        {"content.uuid-absent", "a UUID of all FFh", nullptr,
         [](CaseTable &t) {
             t.set(0x0001, 0x08, ~0ULL, 8);
             t.set(0x0001, 0x10, ~0ULL, 8);
         }},
    };
}

}  // namespace tarnwick_test
