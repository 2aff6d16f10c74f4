// Decoders of the device structures: port connectors (8), slots (9), on-board devices (10, 41), group associations (14), pointing device (21), portable battery (22), system reset (23), hardware security (24), power controls (25).
#include "decode/types/TypeDecoders.h"

namespace smbios::decode {

void decodePortConnector(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeSystemSlots(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeOnBoardDevices(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeGroupAssociations(StructureView & /*view*/, Fields & /*fields*/) {}

void decodePointingDevice(StructureView & /*view*/, Fields & /*fields*/) {}

void decodePortableBattery(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeSystemReset(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeHardwareSecurity(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeSystemPowerControls(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeOnboardDeviceExtended(StructureView & /*view*/, Fields & /*fields*/) {}

}  // namespace smbios::decode
