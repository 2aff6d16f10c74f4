// The decoding layer on structures no firmware should publish: whatever the
// bytes, a structure decodes to a defined result within its own bytes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "decode/Decode.h"
#include "decode/Summary.h"
#include "smbios/SmbiosItem.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"
#include "tests/support/RealTables.h"

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

// Within each level of `fields`, every JSON key stands for one field's
// words, and none is the key a level keeps for its unnamed fields ("items")
// or a group for its own text ("value").
void expectOneWordsPerKey(const std::vector<smbios::decode::Field> &fields, bool hasText, const std::string &where) {
    std::map<std::string, std::string> wordsOf;
    const bool unnamed =
        std::any_of(fields.begin(), fields.end(), [](const auto &field) { return field.name.empty(); });
    for (const smbios::decode::Field &field : fields) {
        if (!field.name.empty()) {
            const std::string key = smbios::decode::jsonKeyOf(field);
            const std::string &words = field.key.empty() ? field.name : field.key;
            const auto [known, fresh] = wordsOf.emplace(key, words);
            if (key.empty() || (!fresh && known->second != words) || (unnamed && key == "items") ||
                (hasText && key == "value")) {
                ADD_FAILURE() << where << ": \"" << words << "\" has the key '" << key << "'"
                              << (fresh ? "" : " of \"" + known->second + "\"");
            }
        }
        expectOneWordsPerKey(field.children, !field.text.empty() && field.kind == smbios::decode::Kind::Group,
                             where + "/" + field.name);
    }
}

// Every type, at every length from the header alone to 64 bytes, its
// formatted area filled with a byte that changes with the length (none,
// some and all bits set), under an early and a late version: the decoder
// reads only what the structure holds (ASan and valgrind watch this test),
// its text and JSON are whole, and no two fields of a level share a key.
TEST(DecodeTest, EveryTypeAtEveryLengthDecodesWithinItsBytes) {
    const uint8_t fills[] = {0x00, 0x5A, 0xFF};
    for (unsigned type = 0; type < 256; ++type) {
        for (std::size_t length = 4; length <= 64; ++length) {
            std::vector<uint8_t> formatted(length, fills[length % 3]);
            formatted[0] = static_cast<uint8_t>(type);
            formatted[2] = 0x34;
            formatted[3] = 0x12;
            const std::vector<uint8_t> bytes = structureOf(formatted, {"one", "two\x01\xff"});
            const smbios::SmbiosItem item(bytes.data(), bytes.size());
            for (Version version : {Version{2, 0, 0}, Version{3, 7, 0}}) {
                const smbios::decode::Structure decoded =
                    smbios::decode::decodeStructure(item, version, {smbios::decode::kJsonDialect});
                expectOneWordsPerKey(decoded.fields, false, "type " + std::to_string(type));
                std::string text;
                smbios::decode::appendText(text, decoded);
                ASSERT_EQ(text.rfind("Handle 0x1234, DMI type " + std::to_string(type), 0), 0U) << text;
                ASSERT_EQ(text.substr(text.size() - 2), "\n\n") << text;
                const std::string json = smbios::decode::toJson({decoded});
                // Parsing is the slow part under valgrind: a quarter of
                // the lengths are enough to show the document whole.
                if (version.major == 3 && length % 4 == 0) {
                    ASSERT_EQ(nlohmann::json::parse(json).at(0).at("type"), type);
                }
            }
        }
    }
}

// Fields a later standard added show only for tables of that version, and
// the formats of a firmware's version and ID only to programs (dmidecode's
// text leaves them out).
TEST(DecodeTest, NewerFieldsShowByReleaseNotByVersion) {
    // The enabled threads (SMBIOS 3.6) and the IDs of the power management
    // IC and registering clock driver (3.7) show from dmidecode 3.6 on
    // wherever the structure holds them, whatever version the table claims;
    // 3.4 never shows them.
    struct Case {
        uint8_t type;
        std::size_t length;
        const char *field;
    };
    using smbios::decode::Dialect;
    for (const Case &c : {Case{4, 0x32, "Thread Enabled"}, Case{17, 0x64, "PMIC0 Manufacturer ID"},
                          Case{17, 0x64, "RCD Revision Number"}}) {
        std::vector<uint8_t> formatted(c.length, 0x01);
        formatted[0] = c.type;
        const std::vector<uint8_t> bytes = structureOf(formatted, {"one"});
        const smbios::SmbiosItem item(bytes.data(), bytes.size());
        for (Dialect dialect : {Dialect::Dmidecode34, Dialect::Dmidecode36, Dialect::Dmidecode37}) {
            for (Version version : {Version{3, 0, 0}, Version{3, 7, 0}}) {
                std::string text;
                smbios::decode::appendText(text, smbios::decode::decodeStructure(item, version, {dialect}));
                EXPECT_EQ(text.find(std::string("\t") + c.field + ": ") != std::string::npos,
                          dialect != Dialect::Dmidecode34)
                    << c.field << " of release " << static_cast<int>(dialect) << " under " << unsigned{version.minor};
            }
        }
    }

    std::vector<uint8_t> inventory(0x18, 0);
    inventory[0] = 45;
    inventory[0x06] = 1;  // the version reads Major.Minor
    inventory[0x08] = 0x80;
    const std::vector<uint8_t> bytes = structureOf(inventory, {});
    const smbios::SmbiosItem item(bytes.data(), bytes.size());
    const smbios::decode::Structure decoded = smbios::decode::decodeStructure(item, Version{3, 5, 0});
    std::string text;
    smbios::decode::appendText(text, decoded);
    EXPECT_EQ(text.find("Format"), std::string::npos) << text;
    const nlohmann::json fields = nlohmann::json::parse(smbios::decode::toJson({decoded})).at(0).at("fields");
    EXPECT_EQ(fields.at("version_format"), "Major.Minor");
    EXPECT_EQ(fields.at("firmware_id_format"), (nlohmann::json{{"raw", 0x80}, {"text", "BIOS Vendor/OEM-specific"}}));
}

// A JSON key is the snake_case of the words a field was first named by,
// whatever words the release it is decoded in shows.
TEST(DecodeTest, JsonKeysAreTheFirstWordsInSnakeCase) {
    EXPECT_EQ(smbios::decode::jsonKey("Max. Speed"), "max_speed");
    EXPECT_EQ(smbios::decode::jsonKey("PMIC0 Manufacturer ID"), "pmic0_manufacturer_id");
    EXPECT_EQ(smbios::decode::jsonKey("16-bit Entry Point Address"), "16_bit_entry_point_address");
    EXPECT_EQ(smbios::decode::jsonKey(" Type (OEM) "), "type_oem");
    smbios::decode::Field reworded;
    reworded.name = "Firmware Revision";
    reworded.key = "BIOS Revision";
    EXPECT_EQ(smbios::decode::jsonKeyOf(reworded), "bios_revision");
    reworded.key.clear();
    EXPECT_EQ(smbios::decode::jsonKeyOf(reworded), "firmware_revision");
    reworded.name.clear();
    EXPECT_EQ(smbios::decode::jsonKeyOf(reworded), "");
}

// The standard's type names, at the edges of each range.
TEST(DecodeTest, TypeNamesCoverEveryType) {
    const std::pair<unsigned, const char *> cases[] = {
        {0, "BIOS Information"}, {46, "String Property"}, {47, "Unknown"},       {125, "Unknown"}, {126, "Inactive"},
        {127, "End Of Table"},   {128, "OEM-specific"},   {255, "OEM-specific"}, {256, "Unknown"}};
    for (const auto &[type, name] : cases) {
        EXPECT_STREQ(smbios::decode::typeName(type), name) << type;
    }
}

// The typed answers of a real laptop's table, as its decoded text says them.
TEST(SummaryTest, AnswersTheCommonQuestionsTyped) {
    const tarnwick_test::RealTable *laptop = nullptr;
    for (const tarnwick_test::RealTable &table : tarnwick_test::realTables()) {
        if (std::string(table.name) == "LenovoT480Smbios3") {
            laptop = &table;
        }
    }
    ASSERT_NE(laptop, nullptr);
    std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
    strategies.push_back(std::make_unique<smbios::SmbiosBufferStrategy>(
        std::make_shared<const smbios::SmbiosTableBytes>(tarnwick_test::sourceOf(*laptop))));
    const smbios::SmbiosTable table(std::move(strategies));
    const smbios::decode::Summary summary = smbios::decode::summarize(table);

    EXPECT_EQ(summary.bios.vendor, "LENOVO");
    EXPECT_EQ(summary.bios.version, "N22ET52W (1.29 )");
    EXPECT_EQ(summary.bios.biosRevision, "1.29");
    EXPECT_EQ(summary.bios.firmwareRevision, "1.11");
    EXPECT_EQ(summary.system.serialNumber, "PC131TBF");
    EXPECT_EQ(summary.system.uuid, "161674cc-2a1e-11b2-a85c-e121881d01b9");
    EXPECT_EQ(summary.baseboard.serialNumber, "L1HF9380025");
    EXPECT_EQ(summary.chassis.type, "Notebook");
    ASSERT_EQ(summary.processors.size(), 1U);
    EXPECT_EQ(summary.processors[0].family, "Core i7");
    EXPECT_EQ(summary.processors[0].currentSpeedMHz, 1900U);
    EXPECT_EQ(summary.processors[0].coreCount, 4U);
    EXPECT_EQ(summary.processors[0].threadCount, 8U);
    ASSERT_EQ(summary.memoryDevices.size(), 2U);
    EXPECT_EQ(summary.memoryDevices[0].locator, "ChannelA-DIMM0");
    EXPECT_EQ(summary.memoryDevices[0].sizeBytes, uint64_t{8} << 30);
    EXPECT_EQ(summary.memoryDevices[1].sizeBytes, uint64_t{16} << 30);
    EXPECT_EQ(summary.memoryDevices[1].type, "DDR4");
    EXPECT_EQ(summary.memoryDevices[1].speedMTs, 2400U);
    EXPECT_EQ(summary.memoryDevices[1].partNumber, "M471A2K43CB1-CRC    ");
    EXPECT_EQ(smbios::decode::valuesOf(table, "processor-frequency"), std::vector<std::string>{"1900 MHz"});
    EXPECT_FALSE(smbios::decode::valuesOf(table, "system-serial"));
}

}  // namespace
