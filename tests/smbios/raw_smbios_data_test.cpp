// Tests of the conversions shared by the firmware-table and WMI strategies.
#include "smbios/RawSmbiosData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "smbios/Exception.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/SmbiosBuilder.h"

namespace {

using smbios::SmbiosTableEntryPoint;
using tarnwick_test::Bytes;
using tarnwick_test::rawSmbiosData;

// An entry point whose every byte is known, to see what a conversion
// leaves alone.
SmbiosTableEntryPoint patternedEntryPoint() {
    SmbiosTableEntryPoint ep{};
    auto *bytes = reinterpret_cast<uint8_t *>(&ep);
    for (std::size_t i = 0; i < sizeof ep; ++i) {
        bytes[i] = static_cast<uint8_t>(0xA0 + i);
    }
    return ep;
}

// Every field but the four a conversion writes.
void expectOtherFieldsUntouched(const SmbiosTableEntryPoint &ep) {
    const SmbiosTableEntryPoint before = patternedEntryPoint();
    EXPECT_EQ(std::memcmp(ep.anchor, before.anchor, 4), 0);
    EXPECT_EQ(ep.checksum, before.checksum);
    EXPECT_EQ(ep.eps_length, before.eps_length);
    EXPECT_EQ(ep.max_structure_size, before.max_structure_size);
    EXPECT_EQ(std::memcmp(ep.dmi_anchor, before.dmi_anchor, 5), 0);
    EXPECT_EQ(ep.table_address, before.table_address);
    EXPECT_EQ(ep.bcd_revision, before.bcd_revision);
    EXPECT_EQ(ep.trailing_byte, before.trailing_byte);
}

std::unique_ptr<uint8_t[]> arrayOf(const Bytes &bytes) {
    std::unique_ptr<uint8_t[]> array(new uint8_t[bytes.size()]);
    std::memcpy(array.get(), bytes.data(), bytes.size());
    return array;
}

TEST(ConvertRawSmbiosDataTest, MovesTheTableDownAndCountsEightZeroBytes) {
    const Bytes table =
        tarnwick_test::join({tarnwick_test::structure(1, 0x100, {1}, {"a"}), tarnwick_test::endOfTable()});
    const Bytes raw = rawSmbiosData(3, 2, table);
    std::unique_ptr<uint8_t[]> slot(new uint8_t[1]);
    SmbiosTableEntryPoint ep = patternedEntryPoint();
    smbios::convertRawSmbiosData(arrayOf(raw), static_cast<uint32_t>(raw.size()), slot, ep);

    Bytes expected = table;
    expected.resize(table.size() + 8, 0);
    EXPECT_EQ(Bytes(slot.get(), slot.get() + raw.size()), expected);
    EXPECT_EQ(ep.table_length, raw.size()) << "the trailing zero bytes are counted";
    EXPECT_EQ(ep.major_version, 3);
    EXPECT_EQ(ep.minor_version, 2);
    EXPECT_EQ(ep.num_structures, 9999);
    expectOtherFieldsUntouched(ep);
}

TEST(ConvertRawSmbiosDataTest, HeaderOnlyGivesEightZeroBytes) {
    const Bytes raw = rawSmbiosData(2, 7, {});
    std::unique_ptr<uint8_t[]> slot;
    SmbiosTableEntryPoint ep = patternedEntryPoint();
    smbios::convertRawSmbiosData(arrayOf(raw), 8, slot, ep);
    EXPECT_EQ(Bytes(slot.get(), slot.get() + 8), Bytes(8, 0));
    EXPECT_EQ(ep.table_length, 8);
}

TEST(ConvertRawSmbiosDataTest, LengthsBeyond16BitsKeepTheLowBits) {
    Bytes raw = rawSmbiosData(2, 8, Bytes(70000, 0x55));
    std::unique_ptr<uint8_t[]> slot;
    SmbiosTableEntryPoint ep = patternedEntryPoint();
    smbios::convertRawSmbiosData(arrayOf(raw), static_cast<uint32_t>(raw.size()), slot, ep);
    EXPECT_EQ(ep.table_length, static_cast<uint16_t>(70008));
    EXPECT_EQ(slot[69999], 0x55);
    EXPECT_EQ(slot[70000], 0);
}

// Shorter than its own header: refused, never moved.
TEST(ConvertRawSmbiosDataTest, BufferShorterThanTheHeaderIsRefused) {
    for (uint32_t size : {0u, 1u, 7u}) {
        std::unique_ptr<uint8_t[]> slot(new uint8_t[1]{0x42});
        const uint8_t *before = slot.get();
        SmbiosTableEntryPoint ep = patternedEntryPoint();
        EXPECT_THROW_TEXT(smbios::convertRawSmbiosData(arrayOf(Bytes(8, 1)), size, slot, ep), smbios::ParseException,
                          "Firmware table of " + std::to_string(size) +
                              " bytes is shorter than its 8-byte RawSMBIOSData header.");
        EXPECT_EQ(slot.get(), before);
        const SmbiosTableEntryPoint pattern = patternedEntryPoint();
        EXPECT_EQ(std::memcmp(&ep, &pattern, sizeof ep), 0);
    }
}

TEST(AdoptWmiSmbiosDataTest, HandsTheDataToTheTable) {
    smbios::WmiSmbiosData data;
    data.major = 2;
    data.minor = 4;
    data.length = 70000;
    data.data.reset(new uint8_t[70000]());
    const uint8_t *array = data.data.get();
    std::unique_ptr<uint8_t[]> slot(new uint8_t[1]);
    SmbiosTableEntryPoint ep = patternedEntryPoint();
    smbios::adoptWmiSmbiosData(data, slot, ep);
    // The array moved from the record to the table (cppcheck takes the two
    // pointers for iterators of different containers).
    // cppcheck-suppress mismatchingContainers
    EXPECT_EQ(slot.get(), array) << "the table owns the record's array now";
    EXPECT_EQ(data.data, nullptr);
    EXPECT_EQ(ep.table_length, static_cast<uint16_t>(70000));
    EXPECT_EQ(ep.major_version, 2);
    EXPECT_EQ(ep.minor_version, 4);
    EXPECT_EQ(ep.num_structures, 9999);
    expectOtherFieldsUntouched(ep);
}

TEST(AdoptWmiSmbiosDataTest, EmptyRecordIsRefused) {
    smbios::WmiSmbiosData empty;
    smbios::WmiSmbiosData lengthWithoutData;
    lengthWithoutData.length = 10;
    for (smbios::WmiSmbiosData *data : {&empty, &lengthWithoutData}) {
        std::unique_ptr<uint8_t[]> slot(new uint8_t[1]);
        const uint8_t *before = slot.get();
        SmbiosTableEntryPoint ep = patternedEntryPoint();
        EXPECT_THROW_TEXT(smbios::adoptWmiSmbiosData(*data, slot, ep), smbios::ParseException,
                          "getSmbiosTable(): GetWMISMBIOSData returned 0 for buffer size.");
        EXPECT_EQ(slot.get(), before);
        const SmbiosTableEntryPoint pattern = patternedEntryPoint();
        EXPECT_EQ(std::memcmp(&ep, &pattern, sizeof ep), 0);
    }
}

}  // namespace
