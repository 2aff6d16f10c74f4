// Tests of single structures: measuring, copying, bounded field and string
// access, the dump, and structures cut short by the table's end.
#include "smbios/SmbiosItem.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "smbios/Exception.h"
#include "smbios/SmbiosWorkaround.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/SmbiosBuilder.h"

namespace {

using smbios::SmbiosItem;
using tarnwick_test::Bytes;
using tarnwick_test::structure;

std::string outsideLength(uint32_t offset, std::size_t headerLength) {
    return "Attempt to access data outside the length of header. offset : " + std::to_string(offset) +
           ", header_length : " + std::to_string(headerLength);
}

std::string outsideBuffer(uint32_t offset, std::size_t headerLength) {
    return "Attempt to access data outside header buffer. Impossible situation! offset : " + std::to_string(offset) +
           ", header_length : " + std::to_string(headerLength);
}

SmbiosItem itemOf(const Bytes &bytes) {
    return SmbiosItem(bytes.data(), bytes.size());
}

Bytes bufferOf(const smbios::ISmbiosItem &item) {
    std::size_t size = 0;
    std::unique_ptr<uint8_t[]> copy = item.getBufferCopy(size);
    return Bytes(copy.get(), copy.get() + size);
}

// ---------------------------------------------------------------------------
// Measuring and copying.

TEST(SmbiosItemTest, StructureWithoutStrings) {
    const Bytes bytes = structure(0x20, 0x1234, {1, 2, 3, 4, 5});
    const SmbiosItem item = itemOf(bytes);
    EXPECT_EQ(item.getType(), 0x20);
    EXPECT_EQ(item.getLength(), 9);
    EXPECT_EQ(item.getHandle(), 0x1234);
    EXPECT_EQ(item.getBufferSize(), 9u + 2u);
    EXPECT_STREQ(item.getStringByStringNumber(1), "");
    EXPECT_THROW_TEXT(item.getStringByStringNumber(2), smbios::StringUnavailable,
                      "The string does not exist. Bad index caused this error");
}

TEST(SmbiosItemTest, StructureWithTwoStrings) {
    const Bytes bytes = structure(1, 0x100, {9, 9}, {"ab", "cd"});
    const SmbiosItem item = itemOf(bytes);
    EXPECT_EQ(item.getBufferSize(), 6u + 7u) << "two strings of two characters: length + 7";
    EXPECT_STREQ(item.getStringByStringNumber(1), "ab");
    EXPECT_STREQ(item.getStringByStringNumber(2), "cd");
    EXPECT_THROW_TEXT(item.getStringByStringNumber(3), smbios::StringUnavailable,
                      "The string does not exist. Bad index caused this error");
    EXPECT_THROW_TEXT(item.getStringByStringNumber(255), smbios::StringUnavailable,
                      "The string does not exist. Bad index caused this error");
}

TEST(SmbiosItemTest, StringZeroNeverExists) {
    for (const Bytes &bytes : {structure(1, 1, {}, {"x"}), structure(2, 2)}) {
        const SmbiosItem item = itemOf(bytes);
        EXPECT_THROW_TEXT(item.getStringByStringNumber(0), smbios::StringUnavailable, "String does not exist.");
    }
}

TEST(SmbiosItemTest, CopiesOnlyItsOwnStructure) {
    const Bytes first = structure(4, 0x400, {0xAA}, {"cpu"});
    Bytes table = tarnwick_test::join({first, structure(5, 0x500, {}, {"next"})});
    const SmbiosItem item(table.data(), table.size());
    EXPECT_EQ(bufferOf(item), first);
    // The item keeps a private copy: changing the table changes nothing.
    table[4] = 0xBB;
    table[5] = 'X';
    uint8_t byte = 0;
    item.getData(4, &byte, 1);
    EXPECT_EQ(byte, 0xAA);
    EXPECT_STREQ(item.getStringByStringNumber(1), "cpu");
}

TEST(SmbiosItemTest, NullPositionIsRefused) {
    EXPECT_THROW_TEXT(SmbiosItem(nullptr, 100), smbios::InternalError, "Not a valid header. header is zero.");
}

// A header that does not fit, or a length byte below 4, describes no
// structure: it is refused instead of being read past.
TEST(SmbiosItemTest, HeaderThatDoesNotFitIsRefused) {
    const Bytes bytes = {1, 0x1B, 0};
    EXPECT_THROW_TEXT(SmbiosItem(bytes.data(), 3), smbios::ParseException,
                      "Structure header is cut short or invalid. length: 27, bytes left: 3");
    EXPECT_THROW_TEXT(SmbiosItem(bytes.data(), 1), smbios::ParseException,
                      "Structure header is cut short or invalid. length: 0, bytes left: 1");
}

TEST(SmbiosItemTest, LengthBelowFourIsRefused) {
    for (uint8_t length : {0, 1, 2, 3}) {
        const Bytes bytes = {0, length, 0, 0, 0, 0, 0, 0};
        EXPECT_THROW_TEXT(SmbiosItem(bytes.data(), bytes.size()), smbios::ParseException,
                          "Structure header is cut short or invalid. length: " + std::to_string(length) +
                              ", bytes left: 8");
    }
}

// ---------------------------------------------------------------------------
// Structures cut short by the end of the table.

TEST(SmbiosItemTest, StringsRunningOffTheTableAreClosedWithinTheImage) {
    // The last string has no closing zero bytes before the table ends.
    const Bytes table = {9, 6, 0x01, 0x00, 0x11, 0x22, 'a', 'b', 0, 'c', 'd'};
    const SmbiosItem item(table.data(), table.size());
    EXPECT_EQ(item.getBufferSize(), table.size() + 2);
    Bytes expected = table;
    expected.push_back(0);
    expected.push_back(0);
    EXPECT_EQ(bufferOf(item), expected);
    EXPECT_STREQ(item.getStringByStringNumber(1), "ab");
    EXPECT_STREQ(item.getStringByStringNumber(2), "cd");
    EXPECT_THROW(item.getStringByStringNumber(3), smbios::StringUnavailable);
}

TEST(SmbiosItemTest, FormattedAreaRunningOffTheTableIsNeverReadPast) {
    // The length byte says 0x20, but only 10 bytes remain in the table.
    const Bytes table = {17, 0x20, 0x00, 0x11, 1, 2, 3, 4, 5, 6};
    const SmbiosItem item(table.data(), table.size());
    EXPECT_EQ(item.getLength(), 0x20);
    EXPECT_EQ(item.getBufferSize(), 12u);
    uint8_t out[4] = {};
    item.getData(4, out, 4);
    EXPECT_EQ(out[3], 4);
    // Inside the length byte but past the image.
    EXPECT_THROW_TEXT(item.getData(8, out, 4), smbios::DataOutOfBounds, outsideBuffer(8, 12));
    EXPECT_THROW_TEXT(item.getData(12, out, 1), smbios::DataOutOfBounds, outsideBuffer(12, 12));
    EXPECT_THROW_TEXT(item.getData(0x1F, out, 2), smbios::DataOutOfBounds, outsideLength(0x1F, 12));
    // No strings can be found past the end of the table.
    EXPECT_STREQ(item.getStringByStringNumber(1), "");
    EXPECT_THROW(item.getStringByStringNumber(2), smbios::StringUnavailable);
}

// ---------------------------------------------------------------------------
// getData.

class GetDataTest : public ::testing::Test {
protected:
    GetDataTest() : bytes(structure(3, 0x0300, {0x10, 0x11, 0x12, 0x13, 0x14}, {"s"})), item(itemOf(bytes)) {}
    Bytes bytes;  // length 9, header_size 9 + 3
    SmbiosItem item;
};

TEST_F(GetDataTest, ReadsTheHeaderAndTheFormattedArea) {
    uint8_t out[9] = {};
    item.getData(0, out, 4);
    EXPECT_EQ(Bytes(out, out + 4), Bytes(bytes.begin(), bytes.begin() + 4));
    uint16_t word = 0;
    item.getData(5, &word, 2);
    EXPECT_EQ(word, 0x1211);
    item.getData(0, out, 9);
    EXPECT_EQ(Bytes(out, out + 9), Bytes(bytes.begin(), bytes.begin() + 9));
}

TEST_F(GetDataTest, ZeroBytesAtTheEndOfTheFormattedAreaIsAllowed) {
    uint8_t out = 0x5A;
    item.getData(9, &out, 0);
    EXPECT_EQ(out, 0x5A);
}

TEST_F(GetDataTest, ReadsPastTheFormattedAreaAreRefused) {
    uint8_t out[16] = {};
    EXPECT_THROW_TEXT(item.getData(8, out, 2), smbios::DataOutOfBounds, outsideLength(8, 12));
    EXPECT_THROW_TEXT(item.getData(10, out, 0), smbios::DataOutOfBounds, outsideLength(10, 12));
    EXPECT_THROW_TEXT(item.getData(9, out, 1), smbios::DataOutOfBounds, outsideLength(9, 12));
    EXPECT_THROW_TEXT(item.getData(0xFFFFFFFF, out, 1), smbios::DataOutOfBounds, outsideLength(0xFFFFFFFF, 12));
}

TEST_F(GetDataTest, SizeThatWrapsAroundIsRefused) {
    uint8_t out[1] = {};
    EXPECT_THROW_TEXT(item.getData(4, out, SIZE_MAX), smbios::DataOutOfBounds, outsideLength(4, 12));
    EXPECT_THROW_TEXT(item.getData(1, out, SIZE_MAX - 0), smbios::DataOutOfBounds, outsideLength(1, 12));
}

// ---------------------------------------------------------------------------
// Copies.

TEST(SmbiosItemCopyTest, CloneAndOriginalAreIndependent) {
    const Bytes bytes = structure(2, 0x200, {1, 2}, {"board"});
    auto original = std::make_unique<SmbiosItem>(bytes.data(), bytes.size());
    std::unique_ptr<smbios::ISmbiosItem> clone = original->clone();
    const smbios::ISmbiosItem &readOnly = *original;
    std::unique_ptr<smbios::ISmbiosItem> constClone = readOnly.clone();
    original.reset();
    EXPECT_STREQ(clone->getStringByStringNumber(1), "board");
    EXPECT_EQ(bufferOf(*constClone), bytes);

    std::unique_ptr<smbios::ISmbiosItem> second = clone->clone();
    clone.reset();
    EXPECT_EQ(bufferOf(*second), bytes);
}

TEST(SmbiosItemCopyTest, BufferCopyBelongsToTheCaller) {
    const Bytes bytes = structure(7, 7, {}, {"cache"});
    const SmbiosItem item = itemOf(bytes);
    std::size_t size = 0;
    std::unique_ptr<uint8_t[]> copy = item.getBufferCopy(size);
    ASSERT_EQ(size, bytes.size());
    copy[5] = 'X';
    EXPECT_STREQ(item.getStringByStringNumber(1), "cache");
}

// ---------------------------------------------------------------------------
// fixup.

const smbios::WorkaroundField kMatchByte[] = {{212, 4, 1, 0x03}, {0, 0, 0, 0}};
const smbios::WorkaroundField kSetByte[] = {{212, 4, 1, 0x01}, {0, 0, 0, 0}};
const smbios::Workaround kFixByte = {"test fix", kMatchByte, kSetByte};
const smbios::Workaround *const kFixList[] = {&kFixByte, nullptr};

TEST(SmbiosItemFixupTest, PatchedBytesAreSeenEverywhereButInTheTable) {
    Bytes table = structure(212, 0xD402, {0x03, 0x00}, {"x"});
    const Bytes original = table;
    SmbiosItem item(table.data(), table.size());
    const smbios::SmbiosWorkaroundTable workarounds(kFixList);
    item.fixup(&workarounds);

    uint8_t byte = 0;
    item.getData(4, &byte, 1);
    EXPECT_EQ(byte, 0x01);
    EXPECT_EQ(bufferOf(item)[4], 0x01);
    std::unique_ptr<smbios::ISmbiosItem> clone = item.clone();
    clone->getData(4, &byte, 1);
    EXPECT_EQ(byte, 0x01);
    EXPECT_EQ(table, original);
}

TEST(SmbiosItemFixupTest, NoWorkaroundTableChangesNothing) {
    const Bytes table = structure(212, 0xD402, {0x03, 0x00});
    SmbiosItem item(table.data(), table.size());
    item.fixup(nullptr);
    EXPECT_EQ(bufferOf(item), table);
}

// ---------------------------------------------------------------------------
// The dump.

TEST(SmbiosItemDumpTest, TwoLinesWithPaddedHandle) {
    const Bytes bytes = structure(1, 0x100, Bytes(23, 0));
    const SmbiosItem item = itemOf(bytes);
    std::ostringstream out;
    out << item;
    EXPECT_EQ(out.str(), "Handle 0x0100\n\tDMI type 0x1, 27 bytes.\n");
}

TEST(SmbiosItemDumpTest, SmallHandleAndHexType) {
    const Bytes bytes = structure(0xD4, 0x2a, Bytes(8, 0));
    std::ostringstream out;
    itemOf(bytes).streamify(out);
    EXPECT_EQ(out.str(), "Handle 0x002a\n\tDMI type 0xd4, 12 bytes.\n");
}

TEST(SmbiosItemDumpTest, RestoresFlagsAndKeepsTheZeroFill) {
    const Bytes bytes = structure(0xD4, 0xBEEF, Bytes(8, 0));
    std::ostringstream out;
    out << std::uppercase;
    out << itemOf(bytes) << 255 << ' ' << std::hex << 255;
    EXPECT_EQ(out.str(), "Handle 0xBEEF\n\tDMI type 0xD4, 12 bytes.\n255 FF");
    EXPECT_EQ(out.fill(), '0');
}

}  // namespace
