// Tests of the walk over a table: where it starts and ends, the type filter,
// dereferencing and equality.
#include "smbios/SmbiosIterator.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "smbios/Exception.h"
#include "smbios/SmbiosTable.h"
#include "tests/smbios/TestDoubles.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/SmbiosBuilder.h"

namespace {

using tarnwick_test::Bytes;
using tarnwick_test::endOfTable;
using tarnwick_test::join;
using tarnwick_test::structure;

// Handles of the structures visited from `it` to the end.
template <class Iterator, class End>
std::vector<uint16_t> handlesFrom(Iterator it, End end) {
    std::vector<uint16_t> handles;
    for (; it != end; ++it) {
        handles.push_back(it->getHandle());
    }
    return handles;
}

class IteratorTest : public ::testing::Test {
protected:
    smbios::SmbiosTable &load(const Bytes &table) {
        current = tarnwick_test::tableOf(table, log, &strategy);
        return *current;
    }
    std::vector<uint16_t> walk(const Bytes &table) {
        smbios::SmbiosTable &t = load(table);
        return handlesFrom(t.begin(), t.end());
    }

    tarnwick_test::StrategyLog log;
    tarnwick_test::FakeStrategy *strategy = nullptr;
    std::unique_ptr<smbios::SmbiosTable> current;
};

const Bytes kMixed = join({structure(0, 0x10, {1}), structure(4, 0x20, {2}, {"cpu0"}), structure(17, 0x30),
                           structure(4, 0x21, {3}, {"cpu1", "x"}), endOfTable(0x40)});

TEST_F(IteratorTest, VisitsEveryStructureInOrderIncludingTheEnd) {
    EXPECT_EQ(walk(kMixed), (std::vector<uint16_t>{0x10, 0x20, 0x30, 0x21, 0x40}));
}

TEST_F(IteratorTest, NothingAfterTheEndOfTableIsVisited) {
    EXPECT_EQ(walk(join({structure(1, 1), endOfTable(2), structure(3, 3), endOfTable(4)})),
              (std::vector<uint16_t>{1, 2}));
}

TEST_F(IteratorTest, EndOfTableFirstIsVisitedThenTheEnd) {
    EXPECT_EQ(walk(join({endOfTable(9), structure(1, 1)})), std::vector<uint16_t>{9});
}

TEST_F(IteratorTest, FirstStructureIsAtTheBufferStartWhateverItsType) {
    smbios::SmbiosTable &table = load(kMixed);
    EXPECT_EQ(table.begin()->getType(), 0);
    EXPECT_EQ(tarnwick_test::positionOf(table.begin()), tarnwick_test::positionOf(table[0]));
}

TEST_F(IteratorTest, FilterVisitsExactlyThatTypeInOrder) {
    smbios::SmbiosTable &table = load(kMixed);
    EXPECT_EQ(handlesFrom(table[4], table.end()), (std::vector<uint16_t>{0x20, 0x21}));
    EXPECT_EQ(handlesFrom(table[17], table.end()), std::vector<uint16_t>{0x30});
    EXPECT_EQ(handlesFrom(table[127], table.end()), std::vector<uint16_t>{0x40});
    EXPECT_EQ(table[2], table.end());
    EXPECT_EQ(table[300], table.end()) << "types beyond a byte match nothing";
    EXPECT_EQ(table[-2], table.end());
}

TEST_F(IteratorTest, ReadOnlyTableGivesReadOnlyIterators) {
    load(kMixed);
    const smbios::ISmbiosTable &table = *current;
    smbios::ConstSmbiosTableIterator it = table[4];
    const smbios::ISmbiosItem &item = *it;
    EXPECT_STREQ(item.getStringByStringNumber(1), "cpu0");
    EXPECT_EQ(handlesFrom(table.begin(), table.end()).size(), 5u);
    // Both kinds compare by position.
    const smbios::SmbiosTableIterator modifiable = current->begin();
    EXPECT_TRUE(modifiable == table.begin());
}

TEST_F(IteratorTest, PostAndPreIncrement) {
    smbios::SmbiosTable &table = load(kMixed);
    smbios::SmbiosTableIterator it = table.begin();
    smbios::SmbiosTableIterator before = it++;
    EXPECT_EQ(before->getHandle(), 0x10);
    EXPECT_EQ(it->getHandle(), 0x20);
    EXPECT_EQ((++it)->getHandle(), 0x30);
}

TEST_F(IteratorTest, WithoutEndOfTableTheWalkStopsWhereNoHeaderFits) {
    // Three bytes after the last structure: no header fits.
    EXPECT_EQ(walk(join({structure(1, 1), structure(2, 2), Bytes{0xAA, 0xBB, 0xCC}})), (std::vector<uint16_t>{1, 2}));
    // Four bytes: a header fits (type 0x33, length 4, handle 0x04CC) and is visited.
    EXPECT_EQ(walk(join({structure(1, 1), structure(2, 2), Bytes{0x33, 0x04, 0xCC, 0x04}})),
              (std::vector<uint16_t>{1, 2, 0x04CC}));
}

TEST_F(IteratorTest, StructureWhoseStringsRunOffTheTableIsTheLast) {
    Bytes table = join({structure(1, 1), structure(2, 2, {}, {"abc"})});
    table.resize(table.size() - 2);  // cut the closing zero bytes
    EXPECT_EQ(walk(table), (std::vector<uint16_t>{1, 2}));
    smbios::SmbiosTable &t = load(table);
    auto it = t.begin();
    ++it;
    EXPECT_STREQ(it->getStringByStringNumber(1), "abc");
}

TEST_F(IteratorTest, TableWithoutBufferIsEmpty) {
    load(kMixed);
    strategy->outcome = tarnwick_test::FakeStrategy::Outcome::SucceedWithoutBuffer;
    current->reReadTable();
    EXPECT_EQ(current->begin(), current->end());
    EXPECT_EQ((*current)[4], current->end());
}

TEST_F(IteratorTest, TablesShorterThanAHeaderAreEmpty) {
    EXPECT_TRUE(walk({}).empty());
    EXPECT_TRUE(walk({1, 4, 0}).empty());
    EXPECT_EQ(walk({1, 4, 0x55, 0x66}), std::vector<uint16_t>{0x6655});
}

TEST_F(IteratorTest, TableLengthBoundsTheWalkNotTheBuffer) {
    smbios::SmbiosTable &table = load(kMixed);
    strategy->keepLength = true;
    strategy->entryPoint.table_length = static_cast<uint16_t>(structure(0, 0x10, {1}).size() + 3);
    table.reReadTable();
    EXPECT_EQ(handlesFrom(table.begin(), table.end()), std::vector<uint16_t>{0x10});
}

// Zero padding (a "type 0, length 0" header) is no structure: the walk ends
// there instead of stepping through it two bytes at a time.
TEST_F(IteratorTest, LengthBelowFourEndsTheWalk) {
    Bytes table = join({structure(1, 1, {}, {"a"}), structure(2, 2)});
    table.resize(table.size() + 64, 0);
    EXPECT_EQ(walk(table), (std::vector<uint16_t>{1, 2}));
    EXPECT_TRUE(walk(join({Bytes{5, 3, 0, 0}, structure(1, 1)})).empty());
}

TEST_F(IteratorTest, StructureCountDoesNotSteerTheWalk) {
    smbios::SmbiosTable &table = load(kMixed);
    strategy->entryPoint.num_structures = 9999;
    table.reReadTable();
    EXPECT_EQ(handlesFrom(table.begin(), table.end()).size(), 5u);
    strategy->entryPoint.num_structures = 1;
    table.reReadTable();
    EXPECT_EQ(handlesFrom(table.begin(), table.end()).size(), 5u);
}

TEST_F(IteratorTest, DefaultIteratorEqualsEndAndCannotBeDereferenced) {
    smbios::SmbiosTable &table = load(kMixed);
    const smbios::SmbiosTableIterator none;
    EXPECT_EQ(none, table.end());
    EXPECT_THROW_TEXT(*table.end(), smbios::ParameterException,
                      "Programmer error: attempt to dereference a Null iterator.");
    EXPECT_THROW_TEXT(*none, smbios::ParameterException, "Programmer error: attempt to dereference a Null iterator.");
    smbios::SmbiosTableIterator last = table[127];
    ++last;
    EXPECT_EQ(last, table.end());
    // An iterator without a position starts again at the first match.
    ++last;
    EXPECT_EQ(last, table[127]);
}

// A table that is not a SmbiosTable has nothing to walk.
class ForeignTable : public smbios::ISmbiosTable {
public:
    smbios::ConstSmbiosTableIterator begin() const override { return smbios::ConstSmbiosTableIterator(this); }
    smbios::SmbiosTableIterator begin() override { return smbios::SmbiosTableIterator(this); }
    smbios::ConstSmbiosTableIterator end() const override { return {}; }
    smbios::SmbiosTableIterator end() override { return {}; }
    smbios::ConstSmbiosTableIterator operator[](const std::string &) const override { return {}; }
    smbios::SmbiosTableIterator operator[](const std::string &) override { return {}; }
    smbios::ConstSmbiosTableIterator operator[](int type) const override {
        return smbios::ConstSmbiosTableIterator(this, type);
    }
    smbios::SmbiosTableIterator operator[](int type) override { return smbios::SmbiosTableIterator(this, type); }
    void setInitializing(bool) override {}
    void clearItemCache() override {}
    void reReadTable() override {}
    uint16_t getNumberOfStructures() const override { return 0; }
    smbios::SmbiosTableEntryPoint getTableHeader() const override { return {}; }
    std::ostream &streamify(std::ostream &out) const override { return out; }
    std::size_t getTableLength() const override { return 0; }
    smbios::SourceEntryPoint getSourceEntryPoint() const override { return {}; }
};

class PositionedIterator : public smbios::SmbiosTableIterator {
public:
    PositionedIterator(const smbios::ISmbiosTable *over, const uint8_t *at) {
        table = over;
        current = at;
    }
};

TEST(ForeignTableTest, IteratorsStayAtTheEndAndCannotDereference) {
    ForeignTable foreign;
    EXPECT_EQ(foreign.begin(), foreign.end());
    EXPECT_EQ(foreign[1], foreign.end());
    const uint8_t somewhere[4] = {1, 4, 0, 0};
    const PositionedIterator positioned(&foreign, somewhere);
    EXPECT_THROW_TEXT(*positioned, smbios::InternalError, "Smbios table not found or not initialized");
    const PositionedIterator tableless(nullptr, somewhere);
    EXPECT_THROW_TEXT(*tableless, smbios::InternalError, "Smbios table not found or not initialized");
}

}  // namespace
