// The strings of a case table's structure, rewritten: the cases that change
// what a string says, or which strings there are.
#ifndef TARNWICK_TESTS_CHECK_CASES_CASESTRINGS_H
#define TARNWICK_TESTS_CHECK_CASES_CASESTRINGS_H

#include <string>
#include <vector>

#include "tests/check/CheckCases.h"
#include "tests/support/SmbiosBuilder.h"

namespace tarnwick_test {

// Gives the structure with `handle` the string set `strings`, its formatted
// area as it is.
inline void setStrings(CaseTable &table, uint16_t handle, const std::vector<std::string> &strings) {
    Bytes &bytes = table.at(handle);
    if (bytes.size() < 4 || bytes[1] < 4 || bytes[1] > bytes.size()) {
        return;
    }
    const Bytes formatted(bytes.begin() + 4, bytes.begin() + bytes[1]);
    bytes = structure(bytes[0], handle, formatted, strings);
}

}  // namespace tarnwick_test

#endif  // TARNWICK_TESTS_CHECK_CASES_CASESTRINGS_H
