// The cases of the consistency rules: memory arrays against their devices
// and mapped ranges, and a processor's counts.
#include "tests/check/CheckCases.h"

#include "tests/support/SmbiosBuilder.h"

namespace tarnwick_test {
namespace {

// A type 19 of SMBIOS 2.7's length mapping the kilobytes from `first` to
// `last` of the array 0010h.
Bytes arrayRange(uint16_t handle, uint32_t first, uint32_t last) {
    Bytes formatted(0x1F - 4, 0);
    for (std::size_t i = 0; i < 4; ++i) {
        formatted[i] = static_cast<uint8_t>(first >> (8 * i));
        formatted[4 + i] = static_cast<uint8_t>(last >> (8 * i));
    }
    formatted[0x0C - 4] = 0x10;
    formatted[0x0E - 4] = 1;
    return structure(19, handle, formatted);
}

// The processor of 3.6's length, its 8 threads all enabled.
void addThreadsEnabled(CaseTable &t) {
    Bytes &processor = t.at(0x0004);
    processor[1] = 0x32;
    processor.insert(processor.begin() + 0x30, {8, 0});
}

}  // namespace

std::vector<RuleCase> consistencyCases() {
    return {
        {"consistency.array-devices-over-count", "a device naming an array of no slots", nullptr,
         [](CaseTable &t) { t.set(0x0010, 0x0D, 0, 2); }},
        {"consistency.mapped-ranges-overlap", "a second range over the first's upper half", nullptr,
         [](CaseTable &t) { t.structures.insert(t.structures.end() - 1, arrayRange(0x0014, 0x400000, 0xBFFFFF)); }},
        {"consistency.mapped-range-over-capacity", "32 GiB mapped from an array of 16 GiB", nullptr,
         [](CaseTable &t) { t.set(0x0013, 0x08, 0x01FFFFFF, 4); }},
        {"consistency.device-range-outside-array-range", "a device range past its array range's end", addDeviceRange,
         [](CaseTable &t) { t.set(0x0014, 0x08, 0x00FFFFFF, 4); }},
        {"consistency.cores-enabled-over-count", "5 of 4 cores enabled", nullptr,
         [](CaseTable &t) {
             t.set(0x0004, 0x24, 5);
             t.set(0x0004, 0x2C, 5, 2);
         }},
        {"consistency.threads-enabled-over-count", "9 of 8 threads enabled", addThreadsEnabled,
         [](CaseTable &t) { t.set(0x0004, 0x30, 9, 2); }},
    };
}

}  // namespace tarnwick_test
