// Decoders of IBM's and Lenovo's own structure types (ThinkPad, ThinkVantage),
// as dmidecode decodes them.
#include "decode/types/TypeDecoders.h"

namespace smbios::decode {

OemTypeTable ibmLenovoTypes() {
    return {nullptr, 0};
}

}  // namespace smbios::decode
