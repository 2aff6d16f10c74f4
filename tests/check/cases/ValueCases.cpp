// The cases of the value rules. (To be written.)
#include "tests/check/CheckCases.h"

namespace tarnwick_test {

std::vector<RuleCase> valueCases() {
    return {};
}

}  // namespace tarnwick_test
