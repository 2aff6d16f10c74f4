// The consistency rules. (To be written.)
#include "check/CheckContext.h"

namespace smbios::check {

RuleGroup consistencyRules() {
    return RuleGroup{nullptr, 0, [](Context &) {}};
}

}  // namespace smbios::check
