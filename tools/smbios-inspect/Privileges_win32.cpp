// Windows: physical memory and the firmware tables are an administrator's;
// the library's texts of a refused request name the denial.
#include "smbios-inspect/Privileges.h"

namespace smbios_inspect {

bool failedForWantOfRights(const std::string &failure) {
    return failure.find("denied") != std::string::npos || failure.find("privilege") != std::string::npos;
}

const char *privilegedUser() {
    return "an administrator";
}

}  // namespace smbios_inspect
