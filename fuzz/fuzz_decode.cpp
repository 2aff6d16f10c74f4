// Fuzz target: the decoding layer. The input is a version and one
// structure (header, formatted area, strings), decoded as text and JSON in
// every release's words and for every maker whose own types are decoded;
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
    using smbios::decode::Dialect;
    using smbios::decode::Maker;
    for (Dialect dialect : {Dialect::Dmidecode34, Dialect::Dmidecode36, Dialect::Dmidecode37}) {
        for (Maker maker : {Maker::Other, Maker::Hp, Maker::Hpe, Maker::IbmLenovo, Maker::Acer}) {
            for (bool quirks : {true, false}) {
                smbios::decode::DecodeOptions options(dialect, quirks);
                options.maker = maker;
                options.product = "ProLiant DL380 Gen10";
                const smbios::decode::Structure decoded = smbios::decode::decodeStructure(item, version, options);
                std::string text;
                smbios::decode::appendText(text, decoded);
                smbios::decode::appendQuietText(text, decoded);
                if (text.empty() || smbios::decode::toJson({decoded}).empty()) {
                    return -1;
                }
            }
        }
    }
    return 0;
}
