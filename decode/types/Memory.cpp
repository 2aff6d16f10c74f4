// Decoders of the memory structures: controller (5), module (6), array (16), device (17), errors (18, 33), mapped addresses (19, 20), channel (37).
#include "decode/types/TypeDecoders.h"

namespace smbios::decode {

void decodeMemoryController(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeMemoryModule(StructureView & /*view*/, Fields & /*fields*/) {}

void decodePhysicalMemoryArray(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeMemoryDevice(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeMemoryError32(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeMemoryArrayMappedAddress(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeMemoryDeviceMappedAddress(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeMemoryError64(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeMemoryChannel(StructureView & /*view*/, Fields & /*fields*/) {}

}  // namespace smbios::decode
