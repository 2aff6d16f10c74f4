// Decoders of HP's and HPE's own structure types (ProLiant and the
// machines before it), as dmidecode decodes them.
#include "decode/types/TypeDecoders.h"

namespace smbios::decode {

OemTypeTable hpeTypes() {
    return {nullptr, 0};
}

}  // namespace smbios::decode
