// Finding where a structure's strings end: the scan that the walk and the
// items share, and the one a walk spends most of its time in.
#ifndef TARNWICK_SMBIOS_FORMAT_STRUCTURESCAN_H
#define TARNWICK_SMBIOS_FORMAT_STRUCTURESCAN_H

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace smbios {

// The first index `at` from `from` on with bytes[at] and bytes[at + 1] both
// zero and at + 1 < limit; when there is none, limit - 1 (or `from`, if that
// is larger). Reads only bytes below `limit`.
inline std::size_t findDoubleZero(const uint8_t *bytes, std::size_t from, std::size_t limit) {
    if (from + 1 >= limit) {
        return from;
    }
    std::size_t at = from;
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // Eight bytes at a time while a whole word and the byte after it lie
    // below the limit: strings are short, and a call per zero byte (memchr)
    // costs more than the bytes themselves.
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    while (at + 9 <= limit) {
        uint64_t word;
        std::memcpy(&word, bytes + at, sizeof word);
        const uint64_t zeros = ~(((word & kLow7) + kLow7) | word) & kHigh;  // 80h in each zero byte
        const uint64_t pairs = zeros & (zeros >> 8);                        // in byte i: bytes i and i + 1 are zero
        if (pairs != 0) {
            return at + static_cast<std::size_t>(__builtin_ctzll(pairs)) / 8;
        }
        if ((zeros >> 56) != 0 && bytes[at + 8] == 0) {
            return at + 7;
        }
        at += 8;
    }
#endif
    for (; at + 1 < limit; ++at) {
        if (bytes[at] == 0 && bytes[at + 1] == 0) {
            return at;
        }
    }
    return limit - 1;
}

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_FORMAT_STRUCTURESCAN_H
