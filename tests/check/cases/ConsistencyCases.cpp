// The cases of the consistency rules. (To be written.)
#include "tests/check/CheckCases.h"

namespace tarnwick_test {

std::vector<RuleCase> consistencyCases() {
    return {};
}

}  // namespace tarnwick_test
