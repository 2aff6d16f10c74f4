// Which decoder decodes which structure type, and the name dmidecode shows
// for it.
#include "decode/types/TypeDecoders.h"

namespace smbios::decode {
namespace {

const TypeDecoder kStandardTypes[] = {
    {"BIOS Information", decodeBios},
    {"System Information", decodeSystem},
    {"Base Board Information", decodeBaseboard},
    {"Chassis Information", decodeChassis},
    {"Processor Information", decodeProcessor},
    {"Memory Controller Information", decodeMemoryController},
    {"Memory Module Information", decodeMemoryModule},
    {"Cache Information", decodeCache},
    {"Port Connector Information", decodePortConnector},
    {"System Slot Information", decodeSystemSlots},
    {"On Board Device Information", decodeOnBoardDevices},
    {"OEM Strings", decodeOemStrings},
    {"System Configuration Options", decodeSystemConfigurationOptions},
    {"BIOS Language Information", decodeBiosLanguage},
    {"Group Associations", decodeGroupAssociations},
    {"System Event Log", decodeSystemEventLog},
    {"Physical Memory Array", decodePhysicalMemoryArray},
    {"Memory Device", decodeMemoryDevice},
    {"32-bit Memory Error Information", decodeMemoryError32},
    {"Memory Array Mapped Address", decodeMemoryArrayMappedAddress},
    {"Memory Device Mapped Address", decodeMemoryDeviceMappedAddress},
    {"Built-in Pointing Device", decodePointingDevice},
    {"Portable Battery", decodePortableBattery},
    {"System Reset", decodeSystemReset},
    {"Hardware Security", decodeHardwareSecurity},
    {"System Power Controls", decodeSystemPowerControls},
    {"Voltage Probe", decodeVoltageProbe},
    {"Cooling Device", decodeCoolingDevice},
    {"Temperature Probe", decodeTemperatureProbe},
    {"Electrical Current Probe", decodeCurrentProbe},
    {"Out-of-band Remote Access", decodeOutOfBandRemoteAccess},
    {"Boot Integrity Services Entry Point", decodeBootIntegrityServices},
    {"System Boot Information", decodeSystemBoot},
    {"64-bit Memory Error Information", decodeMemoryError64},
    {"Management Device", decodeManagementDevice},
    {"Management Device Component", decodeManagementDeviceComponent},
    {"Management Device Threshold Data", decodeManagementDeviceThreshold},
    {"Memory Channel", decodeMemoryChannel},
    {"IPMI Device Information", decodeIpmiDevice},
    {"System Power Supply", decodeSystemPowerSupply},
    {"Additional Information", decodeAdditionalInformation},
    {"Onboard Device", decodeOnboardDeviceExtended},
    {"Management Controller Host Interface", decodeManagementControllerHostInterface},
    {"TPM Device", decodeTpmDevice},
    {"Processor Additional Information", decodeProcessorAdditional},
    {"Firmware Inventory Information", decodeFirmwareInventory},
    {"String Property", decodeStringProperty},
};

const TypeDecoder kInactive{"Inactive", decodeInactive};
const TypeDecoder kEndOfTable{"End Of Table", decodeEndOfTable};

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
