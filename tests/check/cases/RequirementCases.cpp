// The cases of the requirement rules. (To be written.)
#include "tests/check/CheckCases.h"

namespace tarnwick_test {

std::vector<RuleCase> requirementCases() {
    return {};
}

}  // namespace tarnwick_test
