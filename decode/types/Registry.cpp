// Which decoder decodes which structure type, and the names of each type:
// the standard's, and the two dmidecode shows.
#include "decode/types/TypeDecoders.h"

namespace smbios::decode {
namespace {

constexpr Dialect k37 = Dialect::Dmidecode37;

// A name every release words alike.
constexpr Reworded same(const char *name) {
    return Reworded{name, Dialect::Dmidecode34, name};
}

const TypeDecoder kStandardTypes[] = {
    {"BIOS Information",
     {"BIOS Information", k37, "Platform Firmware Information"},
     {"BIOS", k37, "Platform Firmware"},
     decodeBios},
    {"System Information", same("System Information"), same("System"), decodeSystem},
    {"Baseboard Information", same("Base Board Information"), same("Base Board"), decodeBaseboard},
    {"System Enclosure or Chassis", same("Chassis Information"), same("Chassis"), decodeChassis},
    {"Processor Information", same("Processor Information"), same("Processor"), decodeProcessor},
    {"Memory Controller Information", same("Memory Controller Information"), same("Memory Controller"),
     decodeMemoryController},
    {"Memory Module Information", same("Memory Module Information"), same("Memory Module"), decodeMemoryModule},
    {"Cache Information", same("Cache Information"), same("Cache"), decodeCache},
    {"Port Connector Information", same("Port Connector Information"), same("Port Connector"), decodePortConnector},
    {"System Slots", same("System Slot Information"), same("System Slots"), decodeSystemSlots},
    {"On Board Devices Information", same("On Board Device Information"), same("On Board Devices"),
     decodeOnBoardDevices},
    {"OEM Strings", same("OEM Strings"), same("OEM Strings"), decodeOemStrings},
    {"System Configuration Options", same("System Configuration Options"), same("System Configuration Options"),
     decodeSystemConfigurationOptions},
    {"BIOS Language Information",
     {"BIOS Language Information", k37, "Firmware Language Information"},
     {"BIOS Language", k37, "Firmware Language"},
     decodeBiosLanguage},
    {"Group Associations", same("Group Associations"), same("Group Associations"), decodeGroupAssociations},
    {"System Event Log", same("System Event Log"), same("System Event Log"), decodeSystemEventLog},
    {"Physical Memory Array", same("Physical Memory Array"), same("Physical Memory Array"), decodePhysicalMemoryArray},
    {"Memory Device", same("Memory Device"), same("Memory Device"), decodeMemoryDevice},
    {"32-Bit Memory Error Information", same("32-bit Memory Error Information"), same("32-bit Memory Error"),
     decodeMemoryError32},
    {"Memory Array Mapped Address", same("Memory Array Mapped Address"), same("Memory Array Mapped Address"),
     decodeMemoryArrayMappedAddress},
    {"Memory Device Mapped Address", same("Memory Device Mapped Address"), same("Memory Device Mapped Address"),
     decodeMemoryDeviceMappedAddress},
    {"Built-in Pointing Device", same("Built-in Pointing Device"), same("Built-in Pointing Device"),
     decodePointingDevice},
    {"Portable Battery", same("Portable Battery"), same("Portable Battery"), decodePortableBattery},
    {"System Reset", same("System Reset"), same("System Reset"), decodeSystemReset},
    {"Hardware Security", same("Hardware Security"), same("Hardware Security"), decodeHardwareSecurity},
    {"System Power Controls", same("System Power Controls"), same("System Power Controls"), decodeSystemPowerControls},
    {"Voltage Probe", same("Voltage Probe"), same("Voltage Probe"), decodeVoltageProbe},
    {"Cooling Device", same("Cooling Device"), same("Cooling Device"), decodeCoolingDevice},
    {"Temperature Probe", same("Temperature Probe"), same("Temperature Probe"), decodeTemperatureProbe},
    {"Electrical Current Probe", same("Electrical Current Probe"), same("Electrical Current Probe"),
     decodeCurrentProbe},
    {"Out-of-Band Remote Access", same("Out-of-band Remote Access"), same("Out-of-band Remote Access"),
     decodeOutOfBandRemoteAccess},
    {"Boot Integrity Services Entry Point", same("Boot Integrity Services Entry Point"),
     same("Boot Integrity Services"), decodeBootIntegrityServices},
    {"System Boot Information", same("System Boot Information"), same("System Boot"), decodeSystemBoot},
    {"64-Bit Memory Error Information", same("64-bit Memory Error Information"), same("64-bit Memory Error"),
     decodeMemoryError64},
    {"Management Device", same("Management Device"), same("Management Device"), decodeManagementDevice},
    {"Management Device Component", same("Management Device Component"), same("Management Device Component"),
     decodeManagementDeviceComponent},
    {"Management Device Threshold Data", same("Management Device Threshold Data"),
     same("Management Device Threshold Data"), decodeManagementDeviceThreshold},
    {"Memory Channel", same("Memory Channel"), same("Memory Channel"), decodeMemoryChannel},
    {"IPMI Device Information", same("IPMI Device Information"), same("IPMI Device"), decodeIpmiDevice},
    {"System Power Supply", same("System Power Supply"), same("Power Supply"), decodeSystemPowerSupply},
    {"Additional Information", same("Additional Information"), same("Additional Information"),
     decodeAdditionalInformation},
    {"Onboard Devices Extended Information", same("Onboard Device"), same("Onboard Device"),
     decodeOnboardDeviceExtended},
    {"Management Controller Host Interface", same("Management Controller Host Interface"),
     same("Management Controller Host Interface"), decodeManagementControllerHostInterface},
    {"TPM Device", same("TPM Device"), same("TPM Device"), decodeTpmDevice},
    {"Processor Additional Information", same("Processor Additional Information"), same("Processor"),
     decodeProcessorAdditional},
    {"Firmware Inventory Information", same("Firmware Inventory Information"), same("Firmware"),
     decodeFirmwareInventory},
    {"String Property", same("String Property"), same("String Property"), decodeStringProperty},
};

const TypeDecoder kInactive{"Inactive", same("Inactive"), same("Inactive"), decodeInactive};
const TypeDecoder kEndOfTable{"End Of Table", same("End Of Table"), same("End Of Table"), decodeEndOfTable};

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

const TypeDecoder *decoderFor(uint8_t type, const DecodeOptions &options) {
    if (type < 128) {
        return decoderFor(type);
    }
    OemTypeTable table{nullptr, 0};
    switch (options.maker) {
    case Maker::Hp:
    case Maker::Hpe:
        table = hpeTypes();
        break;
    case Maker::IbmLenovo:
        table = ibmLenovoTypes();
        break;
    case Maker::Acer:
        table = acerTypes();
        break;
    case Maker::Other:
        break;
    }
    for (std::size_t i = 0; i < table.count; ++i) {
        if (table.rows[i].type == type && options.dialect >= table.rows[i].since) {
            return &table.rows[i].decoder;
        }
    }
    return nullptr;
}

// Neither carries fields: an inactive structure's bytes are the firmware's
// leftovers, and the end of the table is only a marker.
void decodeInactive(StructureView & /*view*/, Fields & /*fields*/) {}
void decodeEndOfTable(StructureView & /*view*/, Fields & /*fields*/) {}

}  // namespace smbios::decode
