// The decoders of the standard's structure types, one per type, each
// adding the fields of its structure in the standard's order.
#ifndef TARNWICK_DECODE_TYPES_TYPEDECODERS_H
#define TARNWICK_DECODE_TYPES_TYPEDECODERS_H

#include "decode/DecodeSupport.h"

namespace smbios::decode {

struct TypeDecoder {
    const char *standardName;  // as DSP0134 names the type
    Reworded name;             // the structure's name as dmidecode shows it
    // dmidecode's shorter name, where another structure refers to the type
    Reworded shortName;
    void (*decode)(StructureView &view, Fields &fields);
};

// A maker's own type: decoded from release `since` on (a release before it
// shows the structure's bytes).
struct OemTypeDecoder {
    uint8_t type;
    Dialect since;
    TypeDecoder decoder;
};

// One maker's types, in the maker's file under decode/oem/.
struct OemTypeTable {
    const OemTypeDecoder *rows;
    std::size_t count;
};
OemTypeTable hpeTypes();
OemTypeTable ibmLenovoTypes();
OemTypeTable acerTypes();

// The decoder of a standard `type`, or nullptr for a type without one (OEM
// types and those the standard does not define yet).
const TypeDecoder *decoderFor(uint8_t type);

// The decoder of `type` for a structure decoded with `options`: the
// standard's, or for 128 to 255 the maker's where the release decodes it;
// nullptr for none.
const TypeDecoder *decoderFor(uint8_t type, const DecodeOptions &options);

// The text of the 16 bytes of a UUID at `id`: from SMBIOS 2.6 on its first
// three fields are stored little-endian, before that as they are written.
std::string uuidText(const uint8_t *id, bool littleEndian);

// Each group of types registers its decoders in its own file.
void decodeBios(StructureView &view, Fields &fields);                               // 0
void decodeSystem(StructureView &view, Fields &fields);                             // 1
void decodeBaseboard(StructureView &view, Fields &fields);                          // 2
void decodeChassis(StructureView &view, Fields &fields);                            // 3
void decodeProcessor(StructureView &view, Fields &fields);                          // 4
void decodeMemoryController(StructureView &view, Fields &fields);                   // 5
void decodeMemoryModule(StructureView &view, Fields &fields);                       // 6
void decodeCache(StructureView &view, Fields &fields);                              // 7
void decodePortConnector(StructureView &view, Fields &fields);                      // 8
void decodeSystemSlots(StructureView &view, Fields &fields);                        // 9
void decodeOnBoardDevices(StructureView &view, Fields &fields);                     // 10
void decodeOemStrings(StructureView &view, Fields &fields);                         // 11
void decodeSystemConfigurationOptions(StructureView &view, Fields &fields);         // 12
void decodeBiosLanguage(StructureView &view, Fields &fields);                       // 13
void decodeGroupAssociations(StructureView &view, Fields &fields);                  // 14
void decodeSystemEventLog(StructureView &view, Fields &fields);                     // 15
void decodePhysicalMemoryArray(StructureView &view, Fields &fields);                // 16
void decodeMemoryDevice(StructureView &view, Fields &fields);                       // 17
void decodeMemoryError32(StructureView &view, Fields &fields);                      // 18
void decodeMemoryArrayMappedAddress(StructureView &view, Fields &fields);           // 19
void decodeMemoryDeviceMappedAddress(StructureView &view, Fields &fields);          // 20
void decodePointingDevice(StructureView &view, Fields &fields);                     // 21
void decodePortableBattery(StructureView &view, Fields &fields);                    // 22
void decodeSystemReset(StructureView &view, Fields &fields);                        // 23
void decodeHardwareSecurity(StructureView &view, Fields &fields);                   // 24
void decodeSystemPowerControls(StructureView &view, Fields &fields);                // 25
void decodeVoltageProbe(StructureView &view, Fields &fields);                       // 26
void decodeCoolingDevice(StructureView &view, Fields &fields);                      // 27
void decodeTemperatureProbe(StructureView &view, Fields &fields);                   // 28
void decodeCurrentProbe(StructureView &view, Fields &fields);                       // 29
void decodeOutOfBandRemoteAccess(StructureView &view, Fields &fields);              // 30
void decodeBootIntegrityServices(StructureView &view, Fields &fields);              // 31
void decodeSystemBoot(StructureView &view, Fields &fields);                         // 32
void decodeMemoryError64(StructureView &view, Fields &fields);                      // 33
void decodeManagementDevice(StructureView &view, Fields &fields);                   // 34
void decodeManagementDeviceComponent(StructureView &view, Fields &fields);          // 35
void decodeManagementDeviceThreshold(StructureView &view, Fields &fields);          // 36
void decodeMemoryChannel(StructureView &view, Fields &fields);                      // 37
void decodeIpmiDevice(StructureView &view, Fields &fields);                         // 38
void decodeSystemPowerSupply(StructureView &view, Fields &fields);                  // 39
void decodeAdditionalInformation(StructureView &view, Fields &fields);              // 40
void decodeOnboardDeviceExtended(StructureView &view, Fields &fields);              // 41
void decodeManagementControllerHostInterface(StructureView &view, Fields &fields);  // 42
void decodeTpmDevice(StructureView &view, Fields &fields);                          // 43
void decodeProcessorAdditional(StructureView &view, Fields &fields);                // 44
void decodeFirmwareInventory(StructureView &view, Fields &fields);                  // 45
void decodeStringProperty(StructureView &view, Fields &fields);                     // 46
void decodeInactive(StructureView &view, Fields &fields);                           // 126
void decodeEndOfTable(StructureView &view, Fields &fields);                         // 127

}  // namespace smbios::decode

#endif  // TARNWICK_DECODE_TYPES_TYPEDECODERS_H
