// What a walk over the table allocates: per arena block when it makes the
// items, nothing when it only steps. A binary of its own, as the counter
// replaces the global operator new for the whole program.
#include <gtest/gtest.h>

#include <memory>

#include "smbios/SmbiosTable.h"
#include "tests/smbios/AllocationCounter.h"
#include "tests/smbios/TestDoubles.h"
#include "tests/support/SmbiosBuilder.h"

namespace {

using tarnwick_test::Bytes;

class WalkAllocationTest : public ::testing::Test {
protected:
    // 500 structures of types 0, 1 and 2 in turn, handles 0 to 499.
    WalkAllocationTest() {
        Bytes bytes;
        for (uint16_t handle = 0; handle < 500; ++handle) {
            const Bytes one =
                tarnwick_test::structure(static_cast<uint8_t>(handle % 3), handle, {1, 2, 3}, {"one", "two"});
            bytes.insert(bytes.end(), one.begin(), one.end());
        }
        const Bytes end = tarnwick_test::endOfTable();
        bytes.insert(bytes.end(), end.begin(), end.end());
        table = tarnwick_test::tableOf(bytes, log);
    }

    tarnwick_test::StrategyLog log;
    std::unique_ptr<smbios::SmbiosTable> table;
};

TEST_F(WalkAllocationTest, MakingTheItemsAllocatesPerArenaBlockNotPerStructure) {
    long allocations = 0;
    int items = 0;
    {
        tarnwick_test::AllocationCounter counter;
        for (auto it = table->begin(); it != table->end(); ++it) {
            items += it->getHandle() == static_cast<uint16_t>(items) ? 1 : 0;
        }
        allocations = counter.count();
    }
    EXPECT_EQ(items, 500);
    EXPECT_LT(allocations, 25) << "501 items";
}

TEST_F(WalkAllocationTest, SteppingAllocatesNothing) {
    auto all = table->begin();
    auto filtered = (*table)[2];
    const auto stop = table->end();

    tarnwick_test::AllocationCounter counter;
    int steps = 0;
    for (; all != stop; ++all) {
        ++steps;
    }
    for (; filtered != stop; ++filtered) {
        ++steps;
    }
    EXPECT_EQ(steps, 501 + 166);
    EXPECT_EQ(counter.count(), 0);
}

}  // namespace
