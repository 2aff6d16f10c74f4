// Structure type names of the SMBIOS standard (DMTF DSP0134).
#include "smbios-inspect/SmbiosTypeNames.h"

namespace smbios_inspect {
namespace {

const char *const kNames[] = {
    "BIOS Information",
    "System Information",
    "Baseboard Information",
    "System Enclosure or Chassis",
    "Processor Information",
    "Memory Controller Information",
    "Memory Module Information",
    "Cache Information",
    "Port Connector Information",
    "System Slots",
    "On Board Devices Information",
    "OEM Strings",
    "System Configuration Options",
    "BIOS Language Information",
    "Group Associations",
    "System Event Log",
    "Physical Memory Array",
    "Memory Device",
    "32-Bit Memory Error Information",
    "Memory Array Mapped Address",
    "Memory Device Mapped Address",
    "Built-in Pointing Device",
    "Portable Battery",
    "System Reset",
    "Hardware Security",
    "System Power Controls",
    "Voltage Probe",
    "Cooling Device",
    "Temperature Probe",
    "Electrical Current Probe",
    "Out-of-Band Remote Access",
    "Boot Integrity Services Entry Point",
    "System Boot Information",
    "64-Bit Memory Error Information",
    "Management Device",
    "Management Device Component",
    "Management Device Threshold Data",
    "Memory Channel",
    "IPMI Device Information",
    "System Power Supply",
    "Additional Information",
    "Onboard Devices Extended Information",
    "Management Controller Host Interface",
    "TPM Device",
    "Processor Additional Information",
    "Firmware Inventory Information",
    "String Property",
};

}  // namespace

const char *structureTypeName(uint8_t type) {
    if (type < sizeof kNames / sizeof kNames[0]) {
        return kNames[type];
    }
    if (type == 126) {
        return "Inactive";
    }
    if (type == 127) {
        return "End Of Table";
    }
    if (type >= 128) {
        return "OEM-specific";
    }
    return "Unknown";
}

}  // namespace smbios_inspect
