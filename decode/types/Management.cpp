// Decoders of the management and firmware structures: remote access (30), boot integrity services (31), IPMI (38), additional information (40), host interface (42), TPM (43), firmware inventory (45), string property (46).
#include "decode/types/TypeDecoders.h"

namespace smbios::decode {

void decodeOutOfBandRemoteAccess(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeBootIntegrityServices(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeIpmiDevice(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeAdditionalInformation(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeManagementControllerHostInterface(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeTpmDevice(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeFirmwareInventory(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeStringProperty(StructureView & /*view*/, Fields & /*fields*/) {}

}  // namespace smbios::decode
