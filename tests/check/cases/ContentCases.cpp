// The cases of the content rules. (To be written.)
#include "tests/check/CheckCases.h"

namespace tarnwick_test {

std::vector<RuleCase> contentCases() {
    return {};
}

}  // namespace tarnwick_test
