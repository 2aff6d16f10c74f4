// Which decoder decodes which structure type, and the names of each type:
// the standard's, and the two dmidecode shows.
#include "decode/types/TypeDecoders.h"

namespace smbios::decode {
namespace {

const TypeDecoder kStandardTypes[] = {
    {"BIOS Information", "BIOS Information", "BIOS", decodeBios},
    {"System Information", "System Information", "System", decodeSystem},
    {"Baseboard Information", "Base Board Information", "Base Board", decodeBaseboard},
    {"System Enclosure or Chassis", "Chassis Information", "Chassis", decodeChassis},
    {"Processor Information", "Processor Information", "Processor", decodeProcessor},
    {"Memory Controller Information", "Memory Controller Information", "Memory Controller", decodeMemoryController},
    {"Memory Module Information", "Memory Module Information", "Memory Module", decodeMemoryModule},
    {"Cache Information", "Cache Information", "Cache", decodeCache},
    {"Port Connector Information", "Port Connector Information", "Port Connector", decodePortConnector},
    {"System Slots", "System Slot Information", "System Slots", decodeSystemSlots},
    {"On Board Devices Information", "On Board Device Information", "On Board Devices", decodeOnBoardDevices},
    {"OEM Strings", "OEM Strings", "OEM Strings", decodeOemStrings},
    {"System Configuration Options", "System Configuration Options", "System Configuration Options",
     decodeSystemConfigurationOptions},
    {"BIOS Language Information", "BIOS Language Information", "BIOS Language", decodeBiosLanguage},
    {"Group Associations", "Group Associations", "Group Associations", decodeGroupAssociations},
    {"System Event Log", "System Event Log", "System Event Log", decodeSystemEventLog},
    {"Physical Memory Array", "Physical Memory Array", "Physical Memory Array", decodePhysicalMemoryArray},
    {"Memory Device", "Memory Device", "Memory Device", decodeMemoryDevice},
    {"32-Bit Memory Error Information", "32-bit Memory Error Information", "32-bit Memory Error", decodeMemoryError32},
    {"Memory Array Mapped Address", "Memory Array Mapped Address", "Memory Array Mapped Address",
     decodeMemoryArrayMappedAddress},
    {"Memory Device Mapped Address", "Memory Device Mapped Address", "Memory Device Mapped Address",
     decodeMemoryDeviceMappedAddress},
    {"Built-in Pointing Device", "Built-in Pointing Device", "Built-in Pointing Device", decodePointingDevice},
    {"Portable Battery", "Portable Battery", "Portable Battery", decodePortableBattery},
    {"System Reset", "System Reset", "System Reset", decodeSystemReset},
    {"Hardware Security", "Hardware Security", "Hardware Security", decodeHardwareSecurity},
    {"System Power Controls", "System Power Controls", "System Power Controls", decodeSystemPowerControls},
    {"Voltage Probe", "Voltage Probe", "Voltage Probe", decodeVoltageProbe},
    {"Cooling Device", "Cooling Device", "Cooling Device", decodeCoolingDevice},
    {"Temperature Probe", "Temperature Probe", "Temperature Probe", decodeTemperatureProbe},
    {"Electrical Current Probe", "Electrical Current Probe", "Electrical Current Probe", decodeCurrentProbe},
    {"Out-of-Band Remote Access", "Out-of-band Remote Access", "Out-of-band Remote Access",
     decodeOutOfBandRemoteAccess},
    {"Boot Integrity Services Entry Point", "Boot Integrity Services Entry Point", "Boot Integrity Services",
     decodeBootIntegrityServices},
    {"System Boot Information", "System Boot Information", "System Boot", decodeSystemBoot},
    {"64-Bit Memory Error Information", "64-bit Memory Error Information", "64-bit Memory Error", decodeMemoryError64},
    {"Management Device", "Management Device", "Management Device", decodeManagementDevice},
    {"Management Device Component", "Management Device Component", "Management Device Component",
     decodeManagementDeviceComponent},
    {"Management Device Threshold Data", "Management Device Threshold Data", "Management Device Threshold Data",
     decodeManagementDeviceThreshold},
    {"Memory Channel", "Memory Channel", "Memory Channel", decodeMemoryChannel},
    {"IPMI Device Information", "IPMI Device Information", "IPMI Device", decodeIpmiDevice},
    {"System Power Supply", "System Power Supply", "Power Supply", decodeSystemPowerSupply},
    {"Additional Information", "Additional Information", "Additional Information", decodeAdditionalInformation},
    {"Onboard Devices Extended Information", "Onboard Device", "Onboard Device", decodeOnboardDeviceExtended},
    {"Management Controller Host Interface", "Management Controller Host Interface",
     "Management Controller Host Interface", decodeManagementControllerHostInterface},
    {"TPM Device", "TPM Device", "TPM Device", decodeTpmDevice},
    {"Processor Additional Information", "Processor Additional Information", "Processor", decodeProcessorAdditional},
    {"Firmware Inventory Information", "Firmware Inventory Information", "Firmware", decodeFirmwareInventory},
    {"String Property", "String Property", "String Property", decodeStringProperty},
};

const TypeDecoder kInactive{"Inactive", "Inactive", "Inactive", decodeInactive};
const TypeDecoder kEndOfTable{"End Of Table", "End Of Table", "End Of Table", decodeEndOfTable};

}  // namespace

const TypeDecoder *decoderFor(uint8_t type) {
    if (type < sizeof kStandardTypes / sizeof kStandardTypes[0]) {
        return &kStandardTypes[type];
    }
    if (type == 126) {
        return &kInactive;
    }
    if (type == 127) {
        return &kEndOfTable;
    }
    return nullptr;
}

// Neither carries fields: an inactive structure's bytes are the firmware's
// leftovers, and the end of the table is only a marker.
void decodeInactive(StructureView & /*view*/, Fields & /*fields*/) {}
void decodeEndOfTable(StructureView & /*view*/, Fields & /*fields*/) {}

}  // namespace smbios::decode
