// Tests of the structure table: reading through strategies, the item cache,
// the entry point facts, the dump and the enhanced lookups.
#include "smbios/SmbiosTable.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "smbios/Exception.h"
#include "tests/smbios/TestDoubles.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/SmbiosBuilder.h"

namespace {

using smbios::SmbiosTable;
using tarnwick_test::Bytes;
using tarnwick_test::FakeStrategy;
using tarnwick_test::StrategyLog;
using Outcome = tarnwick_test::FakeStrategy::Outcome;

const Bytes kTwoStructures = tarnwick_test::join(
    {tarnwick_test::structure(1, 0x100, Bytes(23, 0), {"vendor"}), tarnwick_test::endOfTable(0x7F00)});

class StrategyList {
public:
    explicit StrategyList(StrategyLog &strategyLog) : log(strategyLog) {}
    FakeStrategy &add(const std::string &name, Outcome outcome, const Bytes &table = kTwoStructures) {
        strategies.push_back(std::make_unique<FakeStrategy>(name, outcome, log, table));
        return static_cast<FakeStrategy &>(*strategies.back());
    }
    std::vector<std::unique_ptr<smbios::SmbiosStrategy>> take() { return std::move(strategies); }

private:
    StrategyLog &log;
    std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
};

// ---------------------------------------------------------------------------
// Reading through strategies.

TEST(SmbiosTableReadTest, NoSucceedingStrategyFailsAndDestroysThemAll) {
    StrategyLog log;
    StrategyList list(log);
    list.add("fails", Outcome::Fail);
    list.add("throws", Outcome::Throw);
    list.add("throws-int", Outcome::ThrowNonStandard);
    EXPECT_THROW_TEXT(SmbiosTable(list.take(), false), smbios::InternalError, "Could not instantiate SMBIOS table.");
    EXPECT_EQ(log.calls, (std::vector<std::string>{"fails", "throws", "throws-int"}));
    EXPECT_EQ(log.destroyed, 3);
}

TEST(SmbiosTableReadTest, EmptyStrategyListFails) {
    EXPECT_THROW_TEXT(SmbiosTable({}, false), smbios::InternalError, "Could not instantiate SMBIOS table.");
}

TEST(SmbiosTableReadTest, FirstSuccessWinsAndLaterStrategiesAreNotAsked) {
    StrategyLog log;
    StrategyList list(log);
    list.add("throws", Outcome::Throw);
    list.add("succeeds", Outcome::Succeed);
    list.add("never", Outcome::Succeed, Bytes{9, 9, 9, 9});
    {
        SmbiosTable table(list.take(), false);
        EXPECT_EQ(log.calls, (std::vector<std::string>{"throws", "succeeds"}));
        EXPECT_EQ(table.begin()->getHandle(), 0x100);
    }
    EXPECT_EQ(log.destroyed, 3) << "the table owns its strategies";
}

TEST(SmbiosTableReadTest, StrategiesSeeTheStrictFlagInForceAtTheRead) {
    StrategyLog log;
    StrategyList list(log);
    list.add("only", Outcome::Succeed);
    SmbiosTable table(list.take(), true);
    EXPECT_TRUE(table.getStrictValidation());
    table.setStrictValidation(false);
    table.reReadTable();
    table.setStrictValidation(true);
    table.reReadTable();
    EXPECT_EQ(log.strictSeen, (std::vector<bool>{true, false, true}));
}

TEST(SmbiosTableReadTest, FailedRereadDropsTheStrategiesForGood) {
    StrategyLog log;
    StrategyList list(log);
    FakeStrategy &only = list.add("only", Outcome::Succeed);
    SmbiosTable table(list.take(), false);
    only.outcome = Outcome::Fail;
    EXPECT_THROW_TEXT(table.reReadTable(), smbios::InternalError, "Could not instantiate SMBIOS table.");
    EXPECT_EQ(log.destroyed, 1);
    EXPECT_THROW_TEXT(table.reReadTable(), smbios::InternalError, "Could not instantiate SMBIOS table.");
    EXPECT_EQ(log.calls.size(), 2u) << "no strategy is left to ask";
}

TEST(SmbiosTableReadTest, EntryPointFactsComeFromTheSucceedingStrategy) {
    StrategyLog log;
    StrategyList list(log);
    FakeStrategy &only = list.add("only", Outcome::Succeed);
    only.entryPoint.major_version = 3;
    only.entryPoint.minor_version = 2;
    only.entryPoint.num_structures = 9999;
    SmbiosTable table(list.take(), false);
    EXPECT_EQ(table.getNumberOfStructures(), 9999);
    const smbios::SmbiosTableEntryPoint header = table.getTableHeader();
    EXPECT_EQ(header.major_version, 3);
    EXPECT_EQ(header.table_length, kTwoStructures.size());
    // Fields no strategy wrote read as zero.
    EXPECT_EQ(header.table_address, 0u);
    EXPECT_EQ(header.anchor[0], 0);
    EXPECT_EQ(header.checksum, 0);
    // The count does not steer the walk.
    int visited = 0;
    for (auto it = table.begin(); it != table.end(); ++it) {
        ++visited;
    }
    EXPECT_EQ(visited, 2);
}

// ---------------------------------------------------------------------------
// The item cache.

class SmbiosTableCacheTest : public ::testing::Test {
protected:
    SmbiosTableCacheTest() : table(tarnwick_test::tableOf(kTwoStructures, log)) {}
    StrategyLog log;
    std::unique_ptr<SmbiosTable> table;
};

TEST_F(SmbiosTableCacheTest, DereferenceAndItemAtMakeAndCacheTheItemOnce) {
    const auto it = table->begin();
    const uint8_t *location = tarnwick_test::positionOf(it);
    EXPECT_EQ(table->getCachedItem(location), nullptr);
    smbios::ISmbiosItem &first = *it;
    EXPECT_EQ(table->getCachedItem(location), &first);
    EXPECT_EQ(&*table->begin(), &first) << "the same position gives the same item";
    EXPECT_EQ(&table->itemAt(location), &first);
    ASSERT_EQ(table->getTableData(), location) << "the walk starts at the table's first byte";
    EXPECT_EQ(Bytes(location, location + table->getTableLength()), kTwoStructures);
    const uint8_t *second = location + kTwoStructures.size() - 6;
    EXPECT_EQ(table->itemAt(second).getType(), 127) << "made on first use";
    EXPECT_EQ(table->getCachedItem(second), &table->itemAt(second));
}

TEST_F(SmbiosTableCacheTest, MakeItemMakesANewUncachedItem) {
    const uint8_t *location = tarnwick_test::positionOf(table->begin());
    std::unique_ptr<smbios::ISmbiosItem> one = table->makeItem(location);
    std::unique_ptr<smbios::ISmbiosItem> two = table->makeItem(location);
    EXPECT_TRUE(one != two) << "two items";
    EXPECT_EQ(one->getHandle(), 0x100);
    EXPECT_EQ(table->getCachedItem(location), nullptr);
}

TEST_F(SmbiosTableCacheTest, MakeItemOutsideTheTableIsRefused) {
    const uint8_t *location = tarnwick_test::positionOf(table->begin());
    EXPECT_THROW(table->makeItem(location + kTwoStructures.size()), smbios::ParseException);
    EXPECT_THROW(table->makeItem(location + kTwoStructures.size() - 2), smbios::ParseException);
}

TEST_F(SmbiosTableCacheTest, ACachedNullIsAnInternalError) {
    const uint8_t *location = tarnwick_test::positionOf(table->begin());
    table->cacheItem(location, nullptr);
    EXPECT_THROW_TEXT(table->getCachedItem(location), smbios::InternalError,
                      "No null pointers should ever leak into the itemList");
}

TEST_F(SmbiosTableCacheTest, ClearingTheCacheDropsEveryItem) {
    const auto it = table->begin();
    *it;
    table->clearItemCache();
    EXPECT_EQ(table->getCachedItem(tarnwick_test::positionOf(it)), nullptr);
    EXPECT_EQ(it->getHandle(), 0x100) << "made again on the next dereference";
}

TEST_F(SmbiosTableCacheTest, RereadKeepsTheCacheWhileInitializing) {
    const auto it = table->begin();
    smbios::ISmbiosItem &item = *it;
    table->reReadTable();
    EXPECT_EQ(table->getCachedItem(tarnwick_test::positionOf(it)), &item);
    EXPECT_EQ(item.getHandle(), 0x100);
}

TEST_F(SmbiosTableCacheTest, RereadClearsTheCacheOnceInitialized) {
    table->initializeWorkaround();
    const auto it = table->begin();
    *it;
    table->reReadTable();
    EXPECT_EQ(table->getCachedItem(tarnwick_test::positionOf(it)), nullptr);

    table->setInitializing(true);
    const auto again = table->begin();
    smbios::ISmbiosItem &item = *again;
    table->reReadTable();
    EXPECT_EQ(table->getCachedItem(tarnwick_test::positionOf(again)), &item);
}

// Items met out of address order: a filtered walk first, then others.
class SmbiosTableCacheOrderTest : public ::testing::Test {
protected:
    SmbiosTableCacheOrderTest() {
        const uint8_t types[] = {1, 2, 3, 2, 1, 3};
        Bytes bytes;
        for (uint16_t index = 0; index < 6; ++index) {
            const Bytes one = tarnwick_test::structure(types[index], static_cast<uint16_t>(0x10 + index), {7},
                                                       {"string " + std::to_string(index)});
            bytes.insert(bytes.end(), one.begin(), one.end());
        }
        const Bytes end = tarnwick_test::endOfTable();
        bytes.insert(bytes.end(), end.begin(), end.end());
        table = tarnwick_test::tableOf(bytes, log);
    }

    // Dereferences every structure of the type (-1: all) and returns the items.
    std::vector<smbios::ISmbiosItem *> walk(int type) {
        std::vector<smbios::ISmbiosItem *> items;
        for (auto it = type < 0 ? table->begin() : (*table)[type]; it != table->end(); ++it) {
            items.push_back(&*it);
        }
        return items;
    }

    StrategyLog log;
    std::unique_ptr<SmbiosTable> table;
};

TEST_F(SmbiosTableCacheOrderTest, ItemsMadeOutOfOrderAreFoundByEveryLaterWalk) {
    const std::vector<smbios::ISmbiosItem *> threes = walk(3);
    const std::vector<smbios::ISmbiosItem *> twos = walk(2);
    const std::vector<smbios::ISmbiosItem *> all = walk(-1);
    ASSERT_EQ(all.size(), 7u);
    EXPECT_EQ(threes, (std::vector<smbios::ISmbiosItem *>{all[2], all[5]}));
    EXPECT_EQ(twos, (std::vector<smbios::ISmbiosItem *>{all[1], all[3]}));
    for (std::size_t index = 0; index < 6; ++index) {
        EXPECT_EQ(all[index]->getHandle(), 0x10 + index);
        EXPECT_STREQ(all[index]->getStringByStringNumber(1), ("string " + std::to_string(index)).c_str());
    }
    EXPECT_EQ(walk(-1), all) << "a second walk makes nothing new";
}

TEST_F(SmbiosTableCacheOrderTest, CachingAnOccupiedLocationKeepsTheFirstItem) {
    const auto it = (*table)[2];
    smbios::ISmbiosItem &first = *it;
    table->cacheItem(tarnwick_test::positionOf(it), table->makeItem(tarnwick_test::positionOf(it)));
    EXPECT_EQ(table->getCachedItem(tarnwick_test::positionOf(it)), &first);
}

TEST_F(SmbiosTableCacheOrderTest, ItemsCachedByHandAreTheOnesTheWalkReturns) {
    const auto firstOne = (*table)[1];
    auto secondOne = firstOne;
    ++secondOne;
    // Cached in reverse address order.
    std::unique_ptr<smbios::ISmbiosItem> secondItem = table->makeItem(tarnwick_test::positionOf(secondOne));
    std::unique_ptr<smbios::ISmbiosItem> firstItem = table->makeItem(tarnwick_test::positionOf(firstOne));
    smbios::ISmbiosItem *const secondAddress = secondItem.get();
    smbios::ISmbiosItem *const firstAddress = firstItem.get();
    table->cacheItem(tarnwick_test::positionOf(secondOne), std::move(secondItem));
    table->cacheItem(tarnwick_test::positionOf(firstOne), std::move(firstItem));
    const std::vector<smbios::ISmbiosItem *> all = walk(-1);
    EXPECT_EQ(all[0], firstAddress);
    EXPECT_EQ(all[4], secondAddress);
}

// ---------------------------------------------------------------------------
// The dump and the enhanced lookups.

TEST(SmbiosTableDumpTest, HeaderLinesThenEveryStructure) {
    StrategyLog log;
    FakeStrategy *strategy = nullptr;
    std::unique_ptr<SmbiosTable> table = tarnwick_test::tableOf(kTwoStructures, log, &strategy);
    strategy->entryPoint.major_version = 2;
    strategy->entryPoint.minor_version = 8;
    strategy->entryPoint.table_address = 0xF5A10;
    strategy->entryPoint.num_structures = 2;
    table->reReadTable();

    std::ostringstream out;
    out << *table << 42;
    EXPECT_EQ(out.str(), "\nSMBIOS table \n"
                         "\tversion    : 2.8\n"
                         "\taddress    : f5a10\n"
                         "\tlength     : " +
                             std::to_string(kTwoStructures.size()) +
                             "\n"
                             "\tnum structs: 2\n"
                             "\n"
                             "Handle 0x0100\n\tDMI type 0x1, 27 bytes.\n\n"
                             "Handle 0x7f00\n\tDMI type 0x7f, 4 bytes.\n\n"
                             "42")
        << "the stream is left in decimal";
}

TEST(SmbiosTableDumpTest, VersionFollowsTheStreamsBase) {
    StrategyLog log;
    FakeStrategy *strategy = nullptr;
    std::unique_ptr<SmbiosTable> table = tarnwick_test::tableOf({}, log, &strategy);
    strategy->entryPoint.major_version = 2;
    strategy->entryPoint.minor_version = 10;
    table->reReadTable();
    std::ostringstream out;
    out << std::hex;
    table->streamify(out);
    EXPECT_EQ(out.str().rfind("\nSMBIOS table \n\tversion    : 2.a\n", 0), 0u) << out.str();
}

TEST(SmbiosTableEnhancedTest, LookupsByNameAreNotImplemented) {
    StrategyLog log;
    std::unique_ptr<SmbiosTable> table = tarnwick_test::tableOf(kTwoStructures, log);
    const std::string message =
        "This is an enhanced function call that is not available in the base Smbios library. You must be "
        "using an enhanced library such as Korvalis to use this API";
    EXPECT_THROW_TEXT((*table)[std::string("System Information")], smbios::NotImplemented, message);
    const SmbiosTable &readOnly = *table;
    EXPECT_THROW_TEXT(readOnly[std::string("")], smbios::NotImplemented, message);
}

}  // namespace
