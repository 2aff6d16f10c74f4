// Decoders of Acer's own structure types, as dmidecode decodes them.
#include "decode/types/TypeDecoders.h"

namespace smbios::decode {

OemTypeTable acerTypes() {
    return {nullptr, 0};
}

}  // namespace smbios::decode
