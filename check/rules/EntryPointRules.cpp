// The entryPoint rules. (To be written.)
#include "check/CheckContext.h"

namespace smbios::check {

RuleGroup entryPointRules() {
    return RuleGroup{nullptr, 0, [](Context &) {}};
}

}  // namespace smbios::check
