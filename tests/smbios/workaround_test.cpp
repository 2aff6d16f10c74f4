// Tests of the workarounds: the lookup table, the machine's system ID as the
// workaround factory reads it, patching items as the table makes them, and
// refusing rows that would reach outside an image.
#include "smbios/SmbiosWorkaround.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "smbios/Exception.h"
#include "smbios/SmbiosTable.h"
#include "tests/smbios/TestDoubles.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/SmbiosBuilder.h"

namespace {

using smbios::systemWorkaroundTable;
using tarnwick_test::Bytes;
using tarnwick_test::join;
using tarnwick_test::structure;

// A type 208 structure naming `systemId`: in byte 6, or, with `escaped`,
// as FEh there and the 16-bit value at offset 8.
Bytes makerStructure(uint16_t systemId, bool escaped, uint16_t handle = 0xD000) {
    if (escaped) {
        return structure(208, handle,
                         {0x01, 0x02, 0xFE, 0x00, static_cast<uint8_t>(systemId), static_cast<uint8_t>(systemId >> 8)});
    }
    return structure(208, handle, {0x01, 0x02, static_cast<uint8_t>(systemId), 0x00, 0x00, 0x00});
}

// A type 212 structure with handle `handle` and `checksumType` at offset 8.
Bytes checksumStructure(uint8_t checksumType, uint16_t handle = 0xD402, uint8_t type = 212) {
    return structure(type, handle, {0x00, 0x00, 0x00, 0x00, checksumType, 0x00}, {"Checksum Type"});
}

uint8_t byteAt(const smbios::ISmbiosItem &item, uint32_t offset) {
    uint8_t byte = 0;
    item.getData(offset, &byte, 1);
    return byte;
}

// A table read from `bytes` with its workarounds installed, as the SMBIOS
// factory makes it.
class WorkaroundTableTest : public ::testing::Test {
protected:
    ~WorkaroundTableTest() override { smbios::SmbiosWorkaroundFactory::getFactory()->reset(); }

    smbios::SmbiosTable &install(const Bytes &bytes) {
        table = tarnwick_test::tableOf(bytes, log);
        table->initializeWorkaround();
        return *table;
    }
    uint8_t checksumTypeSeen(int type = 212) { return byteAt(*(*table)[type], 8); }

    tarnwick_test::StrategyLog log;
    std::unique_ptr<smbios::SmbiosTable> table;
};

// ---------------------------------------------------------------------------
// The lookup table.

TEST(SystemWorkaroundTableTest, TwelveDistinctModelIds) {
    std::set<uint16_t> ids;
    for (const smbios::SystemWorkarounds &row : systemWorkaroundTable) {
        EXPECT_NE(row.systemId, 0) << "0 means no system ID";
        EXPECT_NE(row.systemId, 0xFE) << "FEh is the escape value";
        EXPECT_EQ(std::string(row.lowestBiosVersion).size(), 3u);
        EXPECT_EQ(std::string(row.highestBiosVersion).size(), 3u);
        EXPECT_LE(std::string(row.lowestBiosVersion), std::string(row.highestBiosVersion));
        ids.insert(row.systemId);
    }
    EXPECT_EQ(ids.size(), smbios::kSystemWorkaroundCount);
    EXPECT_EQ(smbios::kSystemWorkaroundCount, 12u);
}

TEST(SystemWorkaroundTableTest, ThirdRowIsTheVariantAndTheOthersCommon) {
    for (std::size_t row = 0; row < smbios::kSystemWorkaroundCount; ++row) {
        const smbios::Workaround *const *list = systemWorkaroundTable[row].workarounds;
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list[0], row == 2 ? &smbios::quellinInvalidChecksumType : &smbios::invalidChecksumType);
        EXPECT_EQ(list[1], nullptr);
    }
    EXPECT_STREQ(smbios::invalidChecksumType.name, "Invalid Checksum Type");
    EXPECT_STREQ(smbios::quellinInvalidChecksumType.name, "Quellin Invalid Checksum Type");
}

// ---------------------------------------------------------------------------
// Every row's machine gets its correction, by either encoding of its ID.

class EveryRowTest : public WorkaroundTableTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(EveryRowTest, ChecksumTypeThreeIsCorrected) {
    const smbios::SystemWorkarounds &row = systemWorkaroundTable[GetParam()];
    const uint8_t corrected = GetParam() == 2 ? 1 : 0;
    install(join({makerStructure(row.systemId, true), checksumStructure(3), tarnwick_test::endOfTable()}));
    EXPECT_EQ(checksumTypeSeen(), corrected) << "escaped ID " << row.systemId;
    if (row.systemId < 0xFE) {
        install(join({makerStructure(row.systemId, false), checksumStructure(3), tarnwick_test::endOfTable()}));
        EXPECT_EQ(checksumTypeSeen(), corrected) << "byte ID " << row.systemId;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, EveryRowTest, ::testing::Range<std::size_t>(0, smbios::kSystemWorkaroundCount));

// ---------------------------------------------------------------------------
// Machines without a correction, and structures it does not concern.

const uint16_t kVariantId = systemWorkaroundTable[2].systemId;
const uint16_t kCommonId = systemWorkaroundTable[0].systemId;

TEST_F(WorkaroundTableTest, MachineWithoutMakerStructureGetsNothing) {
    install(join({checksumStructure(3), tarnwick_test::endOfTable()}));
    EXPECT_EQ(checksumTypeSeen(), 3);
}

TEST_F(WorkaroundTableTest, UnknownSystemIdGetsNothing) {
    install(join({makerStructure(0x0001, false), checksumStructure(3), tarnwick_test::endOfTable()}));
    EXPECT_EQ(checksumTypeSeen(), 3);
}

TEST_F(WorkaroundTableTest, EscapeWithoutRoomForTheWideIdGetsNothing) {
    // Length 9: FEh at offset 6, but offset 8 holds only one byte.
    install(join({structure(208, 0xD000, {0x01, 0x02, 0xFE, 0x00, static_cast<uint8_t>(kCommonId)}),
                  checksumStructure(3), tarnwick_test::endOfTable()}));
    EXPECT_EQ(checksumTypeSeen(), 3);
}

TEST_F(WorkaroundTableTest, MakerStructureTooShortForTheIdGetsNothing) {
    install(join({structure(208, 0xD000, {0x01}), checksumStructure(3), tarnwick_test::endOfTable()}));
    EXPECT_EQ(checksumTypeSeen(), 3);
}

TEST_F(WorkaroundTableTest, OnlyTheFirstMakerStructureCounts) {
    install(join({makerStructure(kVariantId, false, 0xD000), makerStructure(kCommonId, true, 0xD001),
                  checksumStructure(3), tarnwick_test::endOfTable()}));
    EXPECT_EQ(checksumTypeSeen(), 1) << "the variant, from the first type 208 structure";
}

TEST_F(WorkaroundTableTest, OtherChecksumTypesHandlesAndStructureTypesAreLeftAlone) {
    install(join({makerStructure(kCommonId, false), checksumStructure(2), checksumStructure(3, 0xD403),
                  checksumStructure(3, 0xD402, 213), tarnwick_test::endOfTable()}));
    std::vector<uint8_t> seen;
    for (auto it = table->begin(); it != table->end(); ++it) {
        if (it->getType() == 212 || it->getType() == 213) {
            seen.push_back(byteAt(*it, 8));
        }
    }
    EXPECT_EQ(seen, (std::vector<uint8_t>{2, 3, 3}));
}

TEST_F(WorkaroundTableTest, ShortChecksumStructureOnAnAffectedMachineCannotBeRead) {
    install(
        join({makerStructure(kCommonId, false), structure(212, 0xD402, {0, 0, 0, 0}), tarnwick_test::endOfTable()}));
    EXPECT_THROW_TEXT(*(*table)[212], smbios::DataOutOfBounds,
                      "Attempt to access data outside the length of header. offset : 8, header_length : 10");
    // Nothing is cached from the failed attempt: the next fails alike.
    EXPECT_THROW_TEXT(*(*table)[212], smbios::DataOutOfBounds,
                      "Attempt to access data outside the length of header. offset : 8, header_length : 10");
    EXPECT_EQ((*table)[208]->getHandle(), 0xD000) << "the other structures are still there";
}

// ---------------------------------------------------------------------------
// Installing the workarounds on a table.

TEST_F(WorkaroundTableTest, ItemsMadeWhileInitializingAreDroppedAndMadeAgainPatched) {
    table = tarnwick_test::tableOf(
        join({makerStructure(kCommonId, false), checksumStructure(3), tarnwick_test::endOfTable()}), log);
    const auto checksum = (*table)[212];
    EXPECT_EQ(byteAt(*checksum, 8), 3) << "before the workarounds, items are as read";
    table->initializeWorkaround();
    EXPECT_EQ(table->getCachedItem(tarnwick_test::positionOf(checksum)), nullptr);
    EXPECT_EQ(byteAt(*checksum, 8), 0) << "the same position is patched now";
}

TEST_F(WorkaroundTableTest, RawBufferIsNeverPatched) {
    install(join({makerStructure(kCommonId, false), checksumStructure(3), tarnwick_test::endOfTable()}));
    const auto checksum = (*table)[212];
    smbios::ISmbiosItem &patched = *checksum;
    EXPECT_EQ(byteAt(patched, 8), 0);

    table->setInitializing(true);
    EXPECT_EQ(byteAt(*checksum, 8), 0) << "an item cached before stays patched";
    table->clearItemCache();
    EXPECT_EQ(byteAt(*checksum, 8), 3) << "made again from the raw buffer, unpatched";
    table->setInitializing(false);
    table->clearItemCache();
    EXPECT_EQ(byteAt(*checksum, 8), 0);
}

TEST_F(WorkaroundTableTest, InstallingAgainReadsTheSystemIdAgain) {
    tarnwick_test::FakeStrategy *strategy = nullptr;
    table = tarnwick_test::tableOf(
        join({makerStructure(kCommonId, false), checksumStructure(3), tarnwick_test::endOfTable()}), log, &strategy);
    table->initializeWorkaround();
    EXPECT_EQ(checksumTypeSeen(), 0);
    // The firmware now names the variant's model.
    strategy->table = join({makerStructure(kVariantId, false), checksumStructure(3), tarnwick_test::endOfTable()});
    table->reReadTable();
    EXPECT_EQ(checksumTypeSeen(), 0) << "the old workarounds patch the new items";
    table->initializeWorkaround();
    EXPECT_EQ(checksumTypeSeen(), 1);
}

// ---------------------------------------------------------------------------
// fixupItem with rows of its own.

const smbios::WorkaroundField kMatchType212[] = {{212, 4, 1, 0xAA}, {0, 0, 0, 0}};

class FixupRowTest : public ::testing::Test {
protected:
    FixupRowTest() : bytes(structure(212, 0x0001, {0xAA, 0x00, 0x00, 0x00}, {})), item(bytes.data(), bytes.size()) {}

    void applyFix(const smbios::WorkaroundField *fix) {
        const smbios::Workaround workaround = {"test", kMatchType212, fix};
        const smbios::Workaround *const list[] = {&workaround, nullptr};
        const smbios::SmbiosWorkaroundTable workarounds(list);
        item.fixup(&workarounds);
    }

    Bytes bytes;  // length 8, image 10 bytes
    smbios::SmbiosItem item;
};

TEST_F(FixupRowTest, RowReachingTheImagesEndIsWritten) {
    const smbios::WorkaroundField fix[] = {{212, 6, 2, 0xBEEF}, {0, 0, 0, 0}};
    applyFix(fix);
    uint8_t out[2] = {};
    item.getData(6, out, 2);
    EXPECT_EQ(out[0], 0xEF);
    EXPECT_EQ(out[1], 0xBE);
}

TEST_F(FixupRowTest, RowReachingPastTheImageIsRefused) {
    const smbios::WorkaroundField fix[] = {{212, 9, 2, 0x1}, {0, 0, 0, 0}};
    EXPECT_THROW_TEXT(applyFix(fix), smbios::InternalError,
                      "Data overflow. Offset requested is larger than data size. offset: 9, data size: 10");
    const smbios::WorkaroundField beyond[] = {{212, 11, 1, 0x1}, {0, 0, 0, 0}};
    EXPECT_THROW_TEXT(applyFix(beyond), smbios::InternalError,
                      "Data overflow. Offset requested is larger than data size. offset: 11, data size: 10");
    const smbios::WorkaroundField huge[] = {{212, 0xFFFFFFFF, 2, 0x1}, {0, 0, 0, 0}};
    EXPECT_THROW(applyFix(huge), smbios::InternalError);
    std::size_t size = 0;
    std::unique_ptr<uint8_t[]> copy = item.getBufferCopy(size);
    EXPECT_EQ(Bytes(copy.get(), copy.get() + size), bytes) << "nothing was written";
}

TEST_F(FixupRowTest, RowLongerThanItsValueIsRefused) {
    const smbios::WorkaroundField fix[] = {{212, 0, 9, 0x1}, {0, 0, 0, 0}};
    EXPECT_THROW_TEXT(applyFix(fix), smbios::InternalError,
                      "Data overflow. Offset requested is larger than data size. offset: 0, data size: 10");
}

TEST_F(FixupRowTest, LaterWorkaroundsSeeEarlierWrites) {
    const smbios::WorkaroundField setBB[] = {{212, 4, 1, 0xBB}, {0, 0, 0, 0}};
    const smbios::WorkaroundField matchBB[] = {{212, 4, 1, 0xBB}, {0, 0, 0, 0}};
    const smbios::WorkaroundField setCC[] = {{212, 5, 1, 0xCC}, {0, 0, 0, 0}};
    const smbios::Workaround first = {"first", kMatchType212, setBB};
    const smbios::Workaround second = {"second", matchBB, setCC};
    const smbios::Workaround *const list[] = {&first, &second, nullptr};
    const smbios::SmbiosWorkaroundTable workarounds(list);
    item.fixup(&workarounds);
    EXPECT_EQ(byteAt(item, 4), 0xBB);
    EXPECT_EQ(byteAt(item, 5), 0xCC);
}

TEST_F(FixupRowTest, MatchRowLongerThanItsValueNeverMatches) {
    const smbios::WorkaroundField longMatch[] = {{212, 0, 9, 0x0}, {0, 0, 0, 0}};
    const smbios::WorkaroundField setByte[] = {{212, 4, 1, 0x11}, {0, 0, 0, 0}};
    const smbios::Workaround workaround = {"long match", longMatch, setByte};
    const smbios::Workaround *const list[] = {&workaround, nullptr};
    const smbios::SmbiosWorkaroundTable workarounds(list);
    item.fixup(&workarounds);
    EXPECT_EQ(byteAt(item, 4), 0xAA);
}

TEST_F(FixupRowTest, MatchRowOutsideTheItemFailsTheFixup) {
    const smbios::WorkaroundField farMatch[] = {{212, 7, 2, 0x0}, {0, 0, 0, 0}};
    const smbios::WorkaroundField setByte[] = {{212, 4, 1, 0x11}, {0, 0, 0, 0}};
    const smbios::Workaround workaround = {"far match", farMatch, setByte};
    const smbios::Workaround *const list[] = {&workaround, nullptr};
    const smbios::SmbiosWorkaroundTable workarounds(list);
    EXPECT_THROW(item.fixup(&workarounds), smbios::DataOutOfBounds);
}

// ---------------------------------------------------------------------------
// The workaround factory family.

TEST(SmbiosWorkaroundFactoryTest, OneProcessWideFactoryUntilReset) {
    smbios::SmbiosWorkaroundFactory *factory = smbios::SmbiosWorkaroundFactory::getFactory();
    EXPECT_EQ(smbios::SmbiosWorkaroundFactory::getFactory(), factory);
    EXPECT_NE(dynamic_cast<factory::TFactory<smbios::SmbiosWorkaroundFactory> *>(factory), nullptr);
    factory->setMode(3);
    factory->reset();
    EXPECT_EQ(factory::TFactory<smbios::SmbiosWorkaroundFactory>::instance, nullptr);
    EXPECT_EQ(smbios::SmbiosWorkaroundFactory::getFactory()->getMode(), 0);
    smbios::SmbiosWorkaroundFactory::getFactory()->reset();
}

TEST(SmbiosWorkaroundFactoryTest, MakeNewHoldsTheRowsListOrNone) {
    tarnwick_test::StrategyLog log;
    auto variant = tarnwick_test::tableOf(join({makerStructure(kVariantId, false), tarnwick_test::endOfTable()}), log);
    auto unknown = tarnwick_test::tableOf(tarnwick_test::endOfTable(), log);
    smbios::SmbiosWorkaroundFactory *factory = smbios::SmbiosWorkaroundFactory::getFactory();
    EXPECT_EQ(factory->makeNew(*variant)->getWorkarounds(), systemWorkaroundTable[2].workarounds);
    EXPECT_EQ(factory->makeNew(*unknown)->getWorkarounds(), nullptr);
    factory->reset();
}

}  // namespace
