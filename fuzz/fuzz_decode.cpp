// Fuzz target: the decoding layer. The input is a version and one
// structure (header, formatted area, strings), decoded as text and JSON;
// the decoder must read nothing outside the structure whatever its bytes.
//
// Input: major and minor version, then the structure.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "decode/Decode.h"
#include "smbios/SmbiosItem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    if (size < 2 + 4) {
        return 0;
    }
    const smbios::decode::Version version{data[0], data[1], 0};
    // An item takes a structure as a table holds it; a length byte below 4
    // is refused there and cannot reach the decoder.
    std::vector<uint8_t> structure(data + 2, data + size);
    if (structure[1] < 4) {
        return 0;
    }
    const smbios::SmbiosItem item(structure.data(), structure.size());
    const smbios::decode::Structure decoded = smbios::decode::decodeStructure(item, version);
    std::string text;
    smbios::decode::appendText(text, decoded);
    const std::string json = smbios::decode::toJson({decoded});
    return text.empty() || json.empty() ? -1 : 0;
}
