// Decoders of the firmware and system identity structures: BIOS (0), system (1), baseboard (2), chassis (3), OEM strings (11), configuration options (12), BIOS languages (13), system boot (32).
#include "decode/types/TypeDecoders.h"

namespace smbios::decode {

void decodeBios(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeSystem(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeBaseboard(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeChassis(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeOemStrings(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeSystemConfigurationOptions(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeBiosLanguage(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeSystemBoot(StructureView & /*view*/, Fields & /*fields*/) {}

}  // namespace smbios::decode
