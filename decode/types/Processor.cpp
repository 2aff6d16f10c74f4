// Decoders of the processor structures: processor (4), cache (7), processor additional information (44).
#include "decode/types/TypeDecoders.h"

namespace smbios::decode {

void decodeProcessor(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeCache(StructureView & /*view*/, Fields & /*fields*/) {}

void decodeProcessorAdditional(StructureView & /*view*/, Fields & /*fields*/) {}

}  // namespace smbios::decode
