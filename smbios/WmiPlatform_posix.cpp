// Systems other than Windows have no WMI.
#include "smbios/IWmiPlatform.h"

namespace smbios {

IWmiPlatform *systemWmiPlatform() {
    return nullptr;
}

}  // namespace smbios
