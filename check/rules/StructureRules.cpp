// The structure rules. (To be written.)
#include "check/CheckContext.h"

namespace smbios::check {

RuleGroup structureRules() {
    return RuleGroup{nullptr, 0, [](Context &) {}};
}

}  // namespace smbios::check
