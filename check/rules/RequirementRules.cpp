// The requirement rules. (To be written.)
#include "check/CheckContext.h"

namespace smbios::check {

RuleGroup requirementRules() {
    return RuleGroup{nullptr, 0, [](Context &) {}};
}

}  // namespace smbios::check
