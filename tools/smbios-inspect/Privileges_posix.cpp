// POSIX systems: a refusal is EACCES or EPERM, and root may read the table.
#include "smbios-inspect/Privileges.h"

#include <cerrno>
#include <cstring>

namespace smbios_inspect {

bool failedForWantOfRights(const std::string &failure) {
    return failure.find(std::strerror(EACCES)) != std::string::npos ||
           failure.find(std::strerror(EPERM)) != std::string::npos;
}

const char *privilegedUser() {
    return "root";
}

}  // namespace smbios_inspect
