// The cases of the structure rules. (To be written.)
#include "tests/check/CheckCases.h"

namespace tarnwick_test {

std::vector<RuleCase> structureCases() {
    return {};
}

}  // namespace tarnwick_test
