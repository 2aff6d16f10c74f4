// Tests of the firmware-table strategy: its steps and failures against a
// scripted platform, and the sysfs copies of real machines.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "smbios/Exception.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"
#include "smbios/format/SmbiosFormat.h"
#include "tests/smbios/PlatformFakes.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/SmbiosBuilder.h"

namespace {

using smbios::SmbiosTableEntryPoint;
using smbios::SmbiosWinGetFirmwareTableStrategy;
using tarnwick_test::Bytes;
using tarnwick_test::FakeFirmwareTablePlatform;
using tarnwick_test::rawSmbiosData;

const Bytes kTable =
    tarnwick_test::join({tarnwick_test::structure(0, 0, {1, 2}, {"BIOS"}),
                         tarnwick_test::structure(1, 0x100, {}, {"Vorn"}), tarnwick_test::endOfTable()});

class FirmwareTableStrategyTest : public ::testing::Test {
protected:
    FirmwareTableStrategyTest() { platform.rawBuffer = rawSmbiosData(3, 1, kTable); }

    // Expects the strategy to fail with `message`, leaving table and entry
    // point as they were.
    void expectFailure(const std::string &message) {
        SmbiosWinGetFirmwareTableStrategy strategy;
        std::unique_ptr<uint8_t[]> slot(new uint8_t[1]{0x42});
        const uint8_t *before = slot.get();
        SmbiosTableEntryPoint ep{};
        ep.table_length = 77;
        EXPECT_THROW_TEXT(strategy.getSmbiosTable(slot, ep, false), smbios::ParseException, message);
        EXPECT_EQ(slot.get(), before);
        EXPECT_EQ(ep.table_length, 77);
        EXPECT_EQ(ep.num_structures, 0);
    }

    FakeFirmwareTablePlatform platform;
    // Also forgets the looked-up function, before and after each test.
    tarnwick_test::UsingFirmwareTablePlatform usingPlatform{platform};
};

TEST_F(FirmwareTableStrategyTest, DeliversTheTableAndFourEntryPointFields) {
    SmbiosWinGetFirmwareTableStrategy strategy;
    std::unique_ptr<uint8_t[]> slot;
    SmbiosTableEntryPoint ep{};
    ep.table_address = 0x1234;
    std::memcpy(ep.anchor, "_SM_", 4);
    ASSERT_TRUE(strategy.getSmbiosTable(slot, ep, true));
    Bytes expected = kTable;
    expected.resize(kTable.size() + 8, 0);
    EXPECT_EQ(Bytes(slot.get(), slot.get() + expected.size()), expected);
    EXPECT_EQ(ep.table_length, kTable.size() + 8);
    EXPECT_EQ(ep.major_version, 3);
    EXPECT_EQ(ep.minor_version, 1);
    EXPECT_EQ(ep.num_structures, 9999);
    EXPECT_EQ(ep.table_address, 0x1234u) << "fields it does not own are kept";
    EXPECT_EQ(std::memcmp(ep.anchor, "_SM_", 4), 0);
    EXPECT_EQ(platform.providersAsked, (std::vector<uint32_t>{0x52534D42, 0x52534D42}));
    EXPECT_EQ(platform.fills, 1);
}

TEST_F(FirmwareTableStrategyTest, LooksTheFunctionUpOncePerProcess) {
    SmbiosWinGetFirmwareTableStrategy first;
    SmbiosWinGetFirmwareTableStrategy second;
    std::unique_ptr<uint8_t[]> slot;
    SmbiosTableEntryPoint ep{};
    first.getSmbiosTable(slot, ep, false);
    first.getSmbiosTable(slot, ep, false);
    second.getSmbiosTable(slot, ep, false);
    EXPECT_EQ(platform.moduleLookups, 1);
    EXPECT_EQ(platform.functionLookups, 1);
    EXPECT_EQ(platform.fills, 3);
}

TEST_F(FirmwareTableStrategyTest, Kernel32NotLoaded) {
    platform.kernel32Loaded = false;
    expectFailure("Could not load dll functions.");
}

TEST_F(FirmwareTableStrategyTest, NoGetSystemFirmwareTable) {
    platform.hasFunction = false;
    expectFailure("Could not access GetSystemFirmwareTable() API.");
    // Nothing was kept: the next strategy looks again.
    platform.hasFunction = true;
    SmbiosWinGetFirmwareTableStrategy strategy;
    std::unique_ptr<uint8_t[]> slot;
    SmbiosTableEntryPoint ep{};
    EXPECT_TRUE(strategy.getSmbiosTable(slot, ep, false));
    EXPECT_EQ(platform.functionLookups, 2);
}

TEST_F(FirmwareTableStrategyTest, SizeZeroOrNegative) {
    platform.overrideSize = true;
    for (int32_t size : {0, -1, static_cast<int32_t>(0x80000000)}) {
        platform.size = size;
        expectFailure("GetSystemFirmwareTable returned 0 for table length.");
    }
}

TEST_F(FirmwareTableStrategyTest, AllocationFailure) {
    platform.failAllocation = true;
    expectFailure("Failed to allocate memory for Firmware table.");
    EXPECT_EQ(platform.fills, 0);
}

TEST_F(FirmwareTableStrategyTest, BufferShorterThanItsHeaderIsRefused) {
    platform.rawBuffer = {0, 2, 8, 0, 0};
    expectFailure("Firmware table of 5 bytes is shorter than its 8-byte RawSMBIOSData header.");
}

TEST_F(FirmwareTableStrategyTest, TableReadThroughTheStrategyWalksToItsEnd) {
    const Bytes rsmb =
        smbios::format::readFileBytes(tarnwick_test::testDataPath("real-smbios/rsmb/AMD-desktop-3.2.rsmb"));
    platform.rawBuffer = rsmb;
    std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
    strategies.push_back(std::make_unique<SmbiosWinGetFirmwareTableStrategy>());
    smbios::SmbiosTable table(std::move(strategies), true);
    EXPECT_EQ(table.getTableHeader().major_version, 3);
    EXPECT_EQ(table.getTableHeader().minor_version, 2);
    int visited = 0;
    uint8_t lastType = 0;
    for (auto it = table.begin(); it != table.end(); ++it) {
        ++visited;
        lastType = it->getType();
    }
    EXPECT_EQ(visited, 20);
    EXPECT_EQ(lastType, 127);
}

}  // namespace
