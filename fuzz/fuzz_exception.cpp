// Fuzz target 4: message templates and parameter values through what(),
// self-references included.
//
// Input: lines. The first is the template; then "s NAME VALUE" or
// "i NAME NUMBER" lines set parameters (names and values may hold
// placeholders, so values can refer to themselves and to each other).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "smbios/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    const std::string input(reinterpret_cast<const char *>(data), size);
    std::size_t at = input.find('\n');
    smbios::ParseExceptionImpl error(input.substr(0, at));
    while (at != std::string::npos) {
        const std::size_t end = input.find('\n', at + 1);
        const std::string line = input.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
        at = end;
        if (line.size() < 3 || line[1] != ' ') {
            continue;
        }
        const std::size_t space = line.find(' ', 2);
        const std::string name = line.substr(2, space == std::string::npos ? std::string::npos : space - 2);
        const std::string value = space == std::string::npos ? std::string() : line.substr(space + 1);
        if (line[0] == 's') {
            error.setParameter(name, value);
        } else if (line[0] == 'i') {
            error.setParameter(name, static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 0)));
        }
    }
    const std::string first = error.what();
    const smbios::ParseExceptionImpl copy(error);
    // Expansion is a function of template and parameters alone, and ends.
    if (first != copy.what() || first != error.what()) {
        __builtin_trap();
    }
    if (first.size() > input.size() + smbios::Exception<smbios::ParseException>::kMaxGrowth) {
        __builtin_trap();
    }
    return 0;
}
