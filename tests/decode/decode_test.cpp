// The decoding layer on structures no firmware should publish: whatever the
// bytes, a structure decodes to a defined result within its own bytes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdint>
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

// Every type, at every length from the header alone to 64 bytes, its
// formatted area filled with a byte that changes with the length (none,
// some and all bits set), under an early and a late version: the decoder
// reads only what the structure holds (ASan and valgrind watch this test),
// and its text and JSON are whole.
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
                const smbios::decode::Structure decoded = smbios::decode::decodeStructure(item, version);
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
TEST(DecodeTest, NewerFieldsShowOnlyUnderTheirVersion) {
    struct Case {
        uint8_t type;
        std::size_t length;
        const char *field;
        Version first;
    };
    for (const Case &c :
         {Case{17, 0x64, "PMIC0 Manufacturer ID", {3, 7, 0}}, Case{17, 0x64, "RCD Revision Number", {3, 7, 0}}}) {
        std::vector<uint8_t> formatted(c.length, 0x01);
        formatted[0] = c.type;
        const std::vector<uint8_t> bytes = structureOf(formatted, {"one"});
        const smbios::SmbiosItem item(bytes.data(), bytes.size());
        const Version before{c.first.major, static_cast<uint8_t>(c.first.minor - 1), 0};
        for (Version version : {before, c.first}) {
            std::string text;
            smbios::decode::appendText(text, smbios::decode::decodeStructure(item, version));
            EXPECT_EQ(text.find(std::string("\t") + c.field + ": ") != std::string::npos,
                      version.minor == c.first.minor)
                << c.field << " under " << unsigned{version.major} << "." << unsigned{version.minor};
        }
    }

    // The count of enabled threads (SMBIOS 3.6) shows by release, not by
    // version: dmidecode 3.6 and later show it wherever the structure holds
    // it, 3.4 never.
    std::vector<uint8_t> processor(0x32, 0x01);
    processor[0] = 4;
    const std::vector<uint8_t> processorBytes = structureOf(processor, {"one"});
    const smbios::SmbiosItem processorItem(processorBytes.data(), processorBytes.size());
    for (smbios::decode::Dialect dialect :
         {smbios::decode::Dialect::Dmidecode34, smbios::decode::Dialect::Dmidecode36}) {
        std::string text;
        smbios::decode::appendText(text, smbios::decode::decodeStructure(processorItem, Version{3, 0, 0}, {dialect}));
        EXPECT_EQ(text.find("\tThread Enabled: 257\n") != std::string::npos,
                  dialect == smbios::decode::Dialect::Dmidecode36)
            << text;
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
    EXPECT_EQ(fields.at("Version Format"), "Major.Minor");
    EXPECT_EQ(fields.at("Firmware ID Format"), (nlohmann::json{{"raw", 0x80}, {"text", "BIOS Vendor/OEM-specific"}}));
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
