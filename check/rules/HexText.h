// How the rules write a number of the standard's tables in their messages:
// in hexadecimal, upper case, with the trailing "h" DSP0134 writes.
#ifndef TARNWICK_CHECK_RULES_HEXTEXT_H
#define TARNWICK_CHECK_RULES_HEXTEXT_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace smbios::check {

// `value` in at least `digits` hexadecimal digits: hexText(0x1A) is "1Ah".
inline std::string hexText(uint64_t value, std::size_t digits = 2) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0x0F]);
        value >>= 4;
    } while (value != 0);
    if (text.size() < digits) {
        text.insert(0, digits - text.size(), '0');
    }
    text += 'h';
    return text;
}

}  // namespace smbios::check

#endif  // TARNWICK_CHECK_RULES_HEXTEXT_H
