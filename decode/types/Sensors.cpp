// Decoders of the sensor and power structures: event log (15), probes (26, 28, 29), cooling device (27), management devices (34, 35, 36), power supply (39).
#include "decode/types/TypeDecoders.h"

namespace smbios::decode {

void decodeSystemEventLog(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeVoltageProbe(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeCoolingDevice(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeTemperatureProbe(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeCurrentProbe(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeManagementDevice(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeManagementDeviceComponent(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeManagementDeviceThreshold(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeSystemPowerSupply(StructureView & /*view*/, Fields & /*fields*/) {}

}  // namespace smbios::decode
