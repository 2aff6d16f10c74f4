// Whether a source's failure was for want of rights, and who has them on
// this system.
#ifndef TARNWICK_TOOLS_SMBIOSINSPECT_PRIVILEGES_H
#define TARNWICK_TOOLS_SMBIOSINSPECT_PRIVILEGES_H

#include <string>

namespace smbios_inspect {

// Whether the failure text says that access was refused.
bool failedForWantOfRights(const std::string &failure);

// Who may read the machine's table: "root", or "an administrator".
const char *privilegedUser();

}  // namespace smbios_inspect

#endif  // TARNWICK_TOOLS_SMBIOSINSPECT_PRIVILEGES_H
