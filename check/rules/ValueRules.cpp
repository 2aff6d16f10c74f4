// The value rules. (To be written.)
#include "check/CheckContext.h"

namespace smbios::check {

RuleGroup valueRules() {
    return RuleGroup{nullptr, 0, [](Context &) {}};
}

}  // namespace smbios::check
