// The decoding layer on structures no firmware should publish: whatever the
// bytes, a structure decodes to a defined result within its own bytes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "decode/Decode.h"
#include "smbios/SmbiosItem.h"

namespace {

using smbios::decode::Version;

std::vector<uint8_t> structureOf(std::vector<uint8_t> formatted, const std::vector<std::string> &strings) {
    formatted[1] = static_cast<uint8_t>(formatted.size());
    for (const std::string &text : strings) {
        formatted.insert(formatted.end(), text.begin(), text.end());
        formatted.push_back(0);
    }
    if (strings.empty()) {
        formatted.push_back(0);
    }
    formatted.push_back(0);
    return formatted;
}

// Every type, at every length from the header alone to 64 bytes, with every
// byte of its formatted area the same value: the decoder reads only what the
// structure holds (ASan and valgrind watch this test), and its text and
// JSON are whole.
TEST(DecodeTest, EveryTypeAtEveryLengthDecodesWithinItsBytes) {
    for (unsigned type = 0; type < 256; ++type) {
        for (std::size_t length = 4; length <= 64; ++length) {
            for (uint8_t fill : {uint8_t{0x00}, uint8_t{0x5A}, uint8_t{0xFF}}) {
                std::vector<uint8_t> formatted(length, fill);
                formatted[0] = static_cast<uint8_t>(type);
                formatted[2] = 0x34;
                formatted[3] = 0x12;
                const std::vector<uint8_t> bytes = structureOf(formatted, {"one", "two\x01\xff"});
                const smbios::SmbiosItem item(bytes.data(), bytes.size());
                for (Version version : {Version{2, 0, 0}, Version{2, 8, 0}, Version{3, 7, 0}}) {
                    const smbios::decode::Structure decoded = smbios::decode::decodeStructure(item, version);
                    std::string text;
                    smbios::decode::appendText(text, decoded);
                    ASSERT_EQ(text.rfind("Handle 0x1234, DMI type " + std::to_string(type), 0), 0U) << text;
                    ASSERT_EQ(text.substr(text.size() - 2), "\n\n") << text;
                    const nlohmann::json json = nlohmann::json::parse(smbios::decode::toJson({decoded}));
                    ASSERT_EQ(json.at(0).at("type"), type);
                }
            }
        }
    }
}

}  // namespace
