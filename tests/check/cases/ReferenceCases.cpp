// The cases of the reference rules. (To be written.)
#include "tests/check/CheckCases.h"

namespace tarnwick_test {

std::vector<RuleCase> referenceCases() {
    return {};
}

}  // namespace tarnwick_test
