// Tests of the firmware-table strategy: its steps and failures against a
// scripted platform, and the sysfs copies of real machines.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "image/SmbiosImage.h"
#include "smbios/Exception.h"
#include "smbios/PlatformFakes.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"
#include "smbios/SysfsFirmwareTable.h"
#include "support/ExpectThrow.h"
#include "support/SmbiosBuilder.h"

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
    FirmwareTableStrategyTest() {
        smbios::forgetFirmwareTableFunction();
        platform.rawBuffer = rawSmbiosData(3, 1, kTable);
    }
    ~FirmwareTableStrategyTest() override { smbios::forgetFirmwareTableFunction(); }

    // Expects the strategy to fail with `message`, leaving table and entry
    // point as they were.
    void expectFailure(const std::string &message) {
        SmbiosWinGetFirmwareTableStrategy strategy(platform);
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
};

TEST_F(FirmwareTableStrategyTest, DeliversTheTableAndFourEntryPointFields) {
    SmbiosWinGetFirmwareTableStrategy strategy(platform);
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
    SmbiosWinGetFirmwareTableStrategy first(platform);
    SmbiosWinGetFirmwareTableStrategy second(platform);
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
    SmbiosWinGetFirmwareTableStrategy strategy(platform);
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
        tarnwick_tools::readBinaryFile(tarnwick_test::testDataPath("real-smbios/rsmb/AMD-desktop-3.2.rsmb"));
    platform.rawBuffer = rsmb;
    std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
    strategies.push_back(std::make_unique<SmbiosWinGetFirmwareTableStrategy>(platform));
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

// ---------------------------------------------------------------------------
// The sysfs tables of real machines.

struct SysfsCase {
    const char *name;
    const char *directory;
    uint8_t major;
    uint8_t minor;
    int structures;
};

void PrintTo(const SysfsCase &c, std::ostream *out) {
    *out << c.name;
}

class SysfsFirmwareTableTest : public ::testing::TestWithParam<SysfsCase> {
protected:
    SysfsFirmwareTableTest() { smbios::forgetFirmwareTableFunction(); }
    ~SysfsFirmwareTableTest() override { smbios::forgetFirmwareTableFunction(); }
};

TEST_P(SysfsFirmwareTableTest, ConvertsAndWalksCompletely) {
    const std::string directory = tarnwick_test::testDataPath(GetParam().directory);
    smbios::SysfsFirmwareTable sysfs(directory);
    std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
    strategies.push_back(std::make_unique<SmbiosWinGetFirmwareTableStrategy>(sysfs));
    smbios::SmbiosTable table(std::move(strategies), true);

    const SmbiosTableEntryPoint header = table.getTableHeader();
    const std::size_t tableSize = tarnwick_tools::readBinaryFile(directory + "/DMI").size();
    EXPECT_EQ(header.major_version, GetParam().major);
    EXPECT_EQ(header.minor_version, GetParam().minor);
    EXPECT_EQ(header.table_length, tableSize + 8);
    EXPECT_EQ(header.num_structures, 9999);
    int visited = 0;
    for (auto it = table.begin(); it != table.end(); ++it) {
        ++visited;
        it->getStringByStringNumber(1);
    }
    EXPECT_EQ(visited, GetParam().structures);
}

INSTANTIATE_TEST_SUITE_P(RealMachines, SysfsFirmwareTableTest,
                         ::testing::Values(SysfsCase{"Lenovo27", "real-smbios/sysfs/lenovo-i5-3320m-2.7", 2, 7, 69},
                                           // Its entry point claims a larger maximum than the table has.
                                           SysfsCase{"SuperMicro30Short", "real-smbios/sysfs/supermicro-3.0-short", 3,
                                                     0, 102}),
                         [](const ::testing::TestParamInfo<SysfsCase> &info) { return std::string(info.param.name); });

TEST(SysfsFirmwareTableErrorTest, MissingFilesAreNamedWithTheOsError) {
    smbios::forgetFirmwareTableFunction();
    const std::string missing = tarnwick_test::missingFilePath();
    smbios::SysfsFirmwareTable sysfs(missing);
    SmbiosWinGetFirmwareTableStrategy strategy(sysfs);
    std::unique_ptr<uint8_t[]> slot;
    SmbiosTableEntryPoint ep{};
    EXPECT_THROW_TEXT(strategy.getSmbiosTable(slot, ep, false), smbios::ParseException,
                      "Could not read the SMBIOS table file " + missing +
                          "/smbios_entry_point: " + std::strerror(ENOENT));
    smbios::forgetFirmwareTableFunction();
}

TEST(SysfsFirmwareTableErrorTest, MissingTableFileIsNamed) {
    smbios::forgetFirmwareTableFunction();
    tarnwick_test::TempDirectory directory;
    directory.write("smbios_entry_point", tarnwick_tools::readBinaryFile(tarnwick_test::testDataPath(
                                              "real-smbios/sysfs/lenovo-i5-3320m-2.7/smbios_entry_point")));
    smbios::SysfsFirmwareTable sysfs(directory.path());
    SmbiosWinGetFirmwareTableStrategy strategy(sysfs);
    std::unique_ptr<uint8_t[]> slot;
    SmbiosTableEntryPoint ep{};
    EXPECT_THROW_TEXT(strategy.getSmbiosTable(slot, ep, false), smbios::ParseException,
                      "Could not read the SMBIOS table file " + directory.path() + "/DMI: " + std::strerror(ENOENT));
    smbios::forgetFirmwareTableFunction();
}

TEST(SysfsFirmwareTableErrorTest, EntryPointWithoutAnchorIsRefused) {
    smbios::forgetFirmwareTableFunction();
    tarnwick_test::TempDirectory directory;
    const std::string entryPoint = directory.write("smbios_entry_point", Bytes(31, 0x20));
    directory.write("DMI", tarnwick_test::endOfTable());
    smbios::SysfsFirmwareTable sysfs(directory.path());
    SmbiosWinGetFirmwareTableStrategy strategy(sysfs);
    std::unique_ptr<uint8_t[]> slot;
    SmbiosTableEntryPoint ep{};
    EXPECT_THROW_TEXT(strategy.getSmbiosTable(slot, ep, false), smbios::ParseException,
                      "No SMBIOS entry point (_SM_ or _SM3_) in " + directory.path() + "/smbios_entry_point");
    smbios::forgetFirmwareTableFunction();
}

}  // namespace
