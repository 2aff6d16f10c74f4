// Systems other than Windows: the firmware-table query is answered from the
// tables the kernel publishes in sysfs.
#include "smbios/IFirmwareTablePlatform.h"
#include "smbios/SysfsFirmwareTable.h"

namespace smbios {

IFirmwareTablePlatform &systemFirmwareTablePlatform() {
    static SysfsFirmwareTable platform;
    return platform;
}

}  // namespace smbios
