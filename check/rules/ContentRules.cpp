// The content rules. (To be written.)
#include "check/CheckContext.h"

namespace smbios::check {

RuleGroup contentRules() {
    return RuleGroup{nullptr, 0, [](Context &) {}};
}

}  // namespace smbios::check
