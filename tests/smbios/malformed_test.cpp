// Broken firmware, case by case, as found in the field: each table or image
// with the outcome it must have (the exact walk, or the exception and its
// exact text), never a read outside a buffer (the asan preset runs these
// too).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "smbios/Exception.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"
#include "smbios/SmbiosWorkaround.h"
#include "smbios/SystemId.h"
#include "tests/smbios/TestDoubles.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/SmbiosBuilder.h"

namespace {

using tarnwick_test::Bytes;
using tarnwick_test::endOfTable;
using tarnwick_test::ImageBytes;
using tarnwick_test::join;
using tarnwick_test::structure;

std::vector<uint16_t> handlesOf(smbios::ISmbiosTable &table) {
    std::vector<uint16_t> handles;
    for (auto it = table.begin(); it != table.end(); ++it) {
        handles.push_back(it->getHandle());
    }
    return handles;
}

// ---------------------------------------------------------------------------
// Tables: the walk each one gives.

struct BrokenTable {
    const char *name;
    Bytes table;
    std::vector<uint16_t> walk;
};

void PrintTo(const BrokenTable &c, std::ostream *out) {
    *out << c.name;
}

class BrokenTableTest : public ::testing::TestWithParam<BrokenTable> {};

TEST_P(BrokenTableTest, WalksExactlyTheseStructures) {
    tarnwick_test::StrategyLog log;
    std::unique_ptr<smbios::SmbiosTable> table = tarnwick_test::tableOf(GetParam().table, log);
    table->initializeWorkaround();
    EXPECT_EQ(handlesOf(*table), GetParam().walk);
    // Everything the walk reaches can be read to its end.
    for (auto it = table->begin(); it != table->end(); ++it) {
        for (uint8_t number = 1; number != 0; ++number) {
            try {
                it->getStringByStringNumber(number);
            } catch (const smbios::StringUnavailable &) {
                break;
            }
        }
        std::size_t size = 0;
        it->getBufferCopy(size);
    }
}

const Bytes kFirst = structure(1, 0x0001, {0x11, 0x22}, {"first"});

INSTANTIATE_TEST_SUITE_P(
    Field, BrokenTableTest,
    ::testing::Values(
        BrokenTable{"FirstLengthByte0", join({Bytes{1, 0, 1, 0}, kFirst, endOfTable(2)}), {}},
        BrokenTable{"FirstLengthByte1", join({Bytes{1, 1, 1, 0}, kFirst, endOfTable(2)}), {}},
        BrokenTable{"FirstLengthByte3", join({Bytes{1, 3, 1, 0, 0, 0}, kFirst, endOfTable(2)}), {}},
        BrokenTable{"LaterLengthByte0", join({kFirst, Bytes{7, 0, 9, 0, 0, 0}, endOfTable(2)}), {0x0001}},
        BrokenTable{"LengthBytePastTheEnd", join({kFirst, Bytes{7, 0x80, 9, 0, 1, 2, 3, 4, 5, 6}}), {0x0001, 0x0009}},
        BrokenTable{"NoDoubleZeroBeforeTheEnd", join({kFirst, Bytes{7, 4, 9, 0, 'a', 'b', 0, 'c'}}), {0x0001, 0x0009}},
        BrokenTable{"NoEndOfTable", join({kFirst, structure(2, 0x0002)}), {0x0001, 0x0002}},
        BrokenTable{"ZeroPaddingAfterTheLast", join({kFirst, structure(2, 0x0002), Bytes(200, 0)}), {0x0001, 0x0002}},
        BrokenTable{
            "StructuresAfterTheEnd", join({kFirst, endOfTable(0x7F00), structure(2, 0x0002)}), {0x0001, 0x7F00}},
        BrokenTable{"TableLength0", Bytes{}, {}}, BrokenTable{"TableLength1", Bytes{1}, {}},
        BrokenTable{"TableLength3", Bytes{1, 4, 0}, {}}),
    [](const ::testing::TestParamInfo<BrokenTable> &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Structures: what reading them gives.

class BrokenStructureTest : public ::testing::Test {
protected:
    smbios::SmbiosTable &load(const Bytes &bytes) {
        table = tarnwick_test::tableOf(bytes, log);
        table->initializeWorkaround();
        return *table;
    }
    ~BrokenStructureTest() override { smbios::SmbiosWorkaroundFactory::getFactory()->reset(); }

    tarnwick_test::StrategyLog log;
    std::unique_ptr<smbios::SmbiosTable> table;
};

TEST_F(BrokenStructureTest, LengthBytePastTheEndReadsOnlyWhatIsThere) {
    smbios::SmbiosTable &t = load(join({kFirst, Bytes{7, 0x80, 9, 0, 1, 2, 3, 4, 5, 6}}));
    auto it = t[7];
    uint8_t out[4] = {};
    it->getData(4, out, 4);
    EXPECT_EQ(out[3], 4);
    EXPECT_THROW_TEXT(it->getData(8, out, 4), smbios::DataOutOfBounds,
                      "Attempt to access data outside header buffer. Impossible situation! offset : 8, "
                      "header_length : 12");
    EXPECT_STREQ(it->getStringByStringNumber(1), "");
}

TEST_F(BrokenStructureTest, StringNumberPastTheLast) {
    smbios::SmbiosTable &t = load(join({kFirst, endOfTable(2)}));
    EXPECT_STREQ(t.begin()->getStringByStringNumber(1), "first");
    EXPECT_THROW_TEXT(t.begin()->getStringByStringNumber(2), smbios::StringUnavailable,
                      "The string does not exist. Bad index caused this error");
}

TEST_F(BrokenStructureTest, UnterminatedStringIsClosedAtTheTablesEnd) {
    smbios::SmbiosTable &t = load(join({kFirst, Bytes{7, 4, 9, 0, 'a', 'b', 0, 'c'}}));
    auto it = t[7];
    EXPECT_STREQ(it->getStringByStringNumber(1), "ab");
    EXPECT_STREQ(it->getStringByStringNumber(2), "c");
    EXPECT_THROW(it->getStringByStringNumber(3), smbios::StringUnavailable);
}

TEST_F(BrokenStructureTest, MakerStructureTooShortForItsId) {
    smbios::SmbiosTable &t = load(join({structure(208, 0xD000, {1}), endOfTable(2)}));
    uint8_t id = 0;
    EXPECT_THROW_TEXT(t[208]->getData(6, &id, 1), smbios::DataOutOfBounds,
                      "Attempt to access data outside the length of header. offset : 6, header_length : 7");
}

// ---------------------------------------------------------------------------
// Images: what the factories make of them.

class BrokenImageTest : public ::testing::Test {
protected:
    ~BrokenImageTest() override {
        fixture.reset();
        smbios::resetLibraryFactories();
    }
    smbios::ISmbiosTable *read(const ImageBytes &image, bool strict = false) {
        fixture = std::make_unique<tarnwick_test::MemoryImageFixture>(image.bytes);
        smbios::SmbiosFactory::getFactory()->setMode(smbios::SmbiosFactory::MemoryMode);
        smbios::SmbiosFactory::getFactory()->setParameter("strictValidation", strict ? 1u : 0u);
        return smbios::SmbiosFactory::getFactory()->getSingleton();
    }
    std::unique_ptr<tarnwick_test::MemoryImageFixture> fixture;
};

const Bytes kTable = join({kFirst, endOfTable(2)});

TEST_F(BrokenImageTest, TableAddressPastTheImage) {
    ImageBytes image;
    image.place(0xF0000, tarnwick_test::validEntryPoint(0x200000, static_cast<uint16_t>(kTable.size()), 2));
    EXPECT_THROW_TEXT(read(image), smbios::InternalError, "Could not instantiate SMBIOS table.");
}

TEST_F(BrokenImageTest, TableLengthPastTheImage) {
    ImageBytes image;
    image.place(0xFFF00, kTable);
    image.place(0xF0000, tarnwick_test::validEntryPoint(0xFFF00, 0x1000, 2));
    EXPECT_THROW_TEXT(read(image), smbios::InternalError, "Could not instantiate SMBIOS table.");
}

class TableLengthTest : public BrokenImageTest, public ::testing::WithParamInterface<uint16_t> {};

TEST_P(TableLengthTest, ShortTableLengthsGiveAnEmptyWalk) {
    ImageBytes image;
    image.place(0x10000, kTable);
    image.place(0xF0000, tarnwick_test::validEntryPoint(0x10000, GetParam(), 2));
    smbios::ISmbiosTable *table = read(image, true);
    EXPECT_EQ(table->begin(), table->end());
}

INSTANTIATE_TEST_SUITE_P(Lengths, TableLengthTest, ::testing::Values(0, 1, 3));

TEST_F(BrokenImageTest, ImageShorterThanE0020h) {
    ImageBytes image(0xE0010);
    EXPECT_THROW_TEXT(read(image), smbios::InternalError, "Could not instantiate SMBIOS table.");
    smbios::SmbiosMemoryStrategy strategy;
    smbios::SmbiosTableEntryPoint ep{};
    EXPECT_THROW(strategy.getSmbiosEntryPoint(ep, false), memory::AccessError);
}

TEST_F(BrokenImageTest, EntryPointAtFFFE0hIsNotFound) {
    ImageBytes image;
    image.place(0x10000, kTable);
    Bytes record =
        tarnwick_test::bytesOf(tarnwick_test::validEntryPoint(0x10000, static_cast<uint16_t>(kTable.size()), 2));
    record.resize(0x1F);
    image.place(0xFFFE0, record);
    // The search's own failure is tested with the search (entry_point_test).
    EXPECT_THROW_TEXT(read(image), smbios::InternalError, "Could not instantiate SMBIOS table.");
}

class EpsLengthTest : public BrokenImageTest, public ::testing::WithParamInterface<uint8_t> {};

TEST_P(EpsLengthTest, AcceptedLaxRefusedStrict) {
    ImageBytes image;
    image.place(0x10000, kTable);
    smbios::SmbiosTableEntryPoint ep = tarnwick_test::validEntryPoint(0x10000, static_cast<uint16_t>(kTable.size()), 2);
    ep.eps_length = GetParam();
    tarnwick_test::fixEntryPointChecksum(ep);
    image.place(0xF0000, ep);
    EXPECT_EQ(handlesOf(*read(image, false)), (std::vector<uint16_t>{0x0001, 0x0002}));

    smbios::SmbiosMemoryStrategy strategy;
    smbios::SmbiosTableEntryPoint found{};
    if (GetParam() == 0) {
        // No bytes are summed, so only the length check fails.
        EXPECT_THROW_TEXT(strategy.getSmbiosEntryPoint(found, true), smbios::ParseException,
                          "validation of table entry point failed\nEntry Point Length field is at least 0x1f : 0\n");
    } else {
        // 255 covers the 32 bytes of the record, which the checksum fixed.
        strategy.getSmbiosEntryPoint(found, true);
        EXPECT_EQ(found.eps_length, 255);
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, EpsLengthTest, ::testing::Values(0, 255));

}  // namespace
