// The cases of the entryPoint rules. (To be written.)
#include "tests/check/CheckCases.h"

namespace tarnwick_test {

std::vector<RuleCase> entryPointCases() {
    return {};
}

}  // namespace tarnwick_test
