// The names the SMBIOS standard gives the structure types.
#ifndef TARNWICK_TOOLS_SMBIOSINSPECT_SMBIOSTYPENAMES_H
#define TARNWICK_TOOLS_SMBIOSINSPECT_SMBIOSTYPENAMES_H

#include <cstdint>

namespace smbios_inspect {

// "BIOS Information" for 0 and so on to 46, "Inactive" (126), "End Of
// Table" (127), "OEM-specific" (128 to 255), "Unknown" for the others.
const char *structureTypeName(uint8_t type);

}  // namespace smbios_inspect

#endif  // TARNWICK_TOOLS_SMBIOSINSPECT_SMBIOSTYPENAMES_H
