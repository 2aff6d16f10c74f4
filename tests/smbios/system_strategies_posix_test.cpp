// The strategies of this (non-Windows) system: the sysfs tables of real
// machines and of this one, the firmware-table query without kernel32,
// and WMI, which is absent.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "smbios/Exception.h"
#include "smbios/IFirmwareTablePlatform.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosSysfsStrategy.h"
#include "smbios/SmbiosTable.h"
#include "smbios/SystemId.h"
#include "smbios/format/SmbiosFormat.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/SmbiosBuilder.h"
#include "tests/support/TempFile.h"

namespace {

using smbios::SmbiosTableEntryPoint;
using tarnwick_test::Bytes;

struct SysfsCase {
    const char *name;
    const char *directory;
    uint8_t major;
    uint8_t minor;
    int structures;
    smbios::EntryPointKind kind;
};

void PrintTo(const SysfsCase &c, std::ostream *out) {
    *out << c.name;
}

const SysfsCase kSysfsMachines[] = {
    {"Lenovo27", "real-smbios/sysfs/lenovo-i5-3320m-2.7", 2, 7, 69, smbios::EntryPointKind::Smbios2},
    // Its entry point claims a larger maximum than the table has.
    {"SuperMicro30Short", "real-smbios/sysfs/supermicro-3.0-short", 3, 0, 102, smbios::EntryPointKind::Smbios3},
};

std::string caseName(const ::testing::TestParamInfo<SysfsCase> &info) {
    return info.param.name;
}

class SysfsStrategyTest : public ::testing::TestWithParam<SysfsCase> {};

TEST_P(SysfsStrategyTest, ReadsTheTableAsPublishedAndWalksItCompletely) {
    const std::string directory = tarnwick_test::testDataPath(GetParam().directory);
    std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
    strategies.push_back(std::make_unique<smbios::SmbiosSysfsStrategy>(directory));
    smbios::SmbiosTable table(std::move(strategies), true);

    const SmbiosTableEntryPoint header = table.getTableHeader();
    const Bytes dmi = smbios::format::readFileBytes(directory + "/DMI");
    EXPECT_EQ(header.major_version, GetParam().major);
    EXPECT_EQ(header.minor_version, GetParam().minor);
    EXPECT_EQ(header.table_length, dmi.size());
    EXPECT_EQ(table.getTableLength(), dmi.size()) << "no header built in, no zero bytes added";
    EXPECT_EQ(table.getSourceEntryPoint().kind, GetParam().kind);
    EXPECT_EQ(table.getSourceEntryPoint().bytes, smbios::format::readFileBytes(directory + "/smbios_entry_point"));
    int visited = 0;
    for (auto it = table.begin(); it != table.end(); ++it) {
        ++visited;
        it->getStringByStringNumber(1);
    }
    EXPECT_EQ(visited, GetParam().structures);
}

INSTANTIATE_TEST_SUITE_P(RealMachines, SysfsStrategyTest, ::testing::ValuesIn(kSysfsMachines), caseName);

// Each failure names the file, and leaves the table's buffer as it was.
TEST(SysfsStrategyErrorTest, FilesThatCannotBeReadAreNamed) {
    const std::string missing = tarnwick_test::missingFilePath();
    tarnwick_test::TempDirectory noTable;
    noTable.write("smbios_entry_point", smbios::format::readFileBytes(tarnwick_test::testDataPath(
                                            "real-smbios/sysfs/lenovo-i5-3320m-2.7/smbios_entry_point")));
    tarnwick_test::TempDirectory noAnchor;
    noAnchor.write("smbios_entry_point", Bytes(31, 0x20));
    noAnchor.write("DMI", tarnwick_test::endOfTable());
    const std::pair<std::string, std::string> cases[] = {
        {missing, "Could not read the SMBIOS table file " + missing + "/smbios_entry_point: " + std::strerror(ENOENT)},
        {noTable.path(), "Could not read the SMBIOS table file " + noTable.path() + "/DMI: " + std::strerror(ENOENT)},
        {noAnchor.path(), "No SMBIOS entry point (_SM_ or _SM3_) in " + noAnchor.path() + "/smbios_entry_point"},
    };
    for (const auto &[directory, message] : cases) {
        smbios::SmbiosSysfsStrategy strategy(directory);
        std::unique_ptr<uint8_t[]> slot;
        SmbiosTableEntryPoint ep{};
        EXPECT_THROW_TEXT(strategy.getSmbiosTable(slot, ep, false), smbios::ParseException, message);
        EXPECT_EQ(slot, nullptr);
    }
}

// AutoMode over a memory source that fails: the sysfs tables give the
// table, and the system ID keeps the memory failure as its last error.
class AutoModeSysfsTest : public ::testing::TestWithParam<SysfsCase> {
protected:
    ~AutoModeSysfsTest() override {
        smbios::useSysfsTablesDirectory("");
        smbios::resetLibraryFactories();
    }
};

TEST_P(AutoModeSysfsTest, ReadsSysfsAndRecordsTheMemoryFailure) {
    const std::string missing = tarnwick_test::missingFilePath();
    const tarnwick_test::MemoryImageFixture image(missing);
    smbios::useSysfsTablesDirectory(tarnwick_test::testDataPath(GetParam().directory));
    smbios::ISmbiosTable *table = smbios::SmbiosFactory::getFactory()->getSingleton();
    EXPECT_EQ(table->getSourceEntryPoint().kind, GetParam().kind);
    EXPECT_FALSE(smbios::isVornByOemString());
    EXPECT_EQ(smbios::getSystemId(), 0);
    EXPECT_EQ(std::string(smbios::lastError.what()),
              "Unable to open memory. File: " + missing + ", OS Error: " + std::strerror(ENOENT));
}

INSTANTIATE_TEST_SUITE_P(RealMachines, AutoModeSysfsTest, ::testing::ValuesIn(kSysfsMachines), caseName);

TEST(SystemStrategiesPosixTest, FirmwareTableQueryHasNoKernel32Here) {
    smbios::forgetFirmwareTableFunction();
    smbios::SmbiosWinGetFirmwareTableStrategy strategy;
    std::unique_ptr<uint8_t[]> slot;
    SmbiosTableEntryPoint ep{};
    EXPECT_THROW_TEXT(strategy.getSmbiosTable(slot, ep, false), smbios::ParseException,
                      "Could not load dll functions.");
    EXPECT_EQ(slot, nullptr);
}

TEST(SystemStrategiesPosixTest, SysfsOfThisMachineOrTheMissingFile) {
    errno = 0;
    std::FILE *probe = std::fopen("/sys/firmware/dmi/tables/smbios_entry_point", "rb");
    const int openError = errno;
    if (probe == nullptr) {
        smbios::SmbiosSysfsStrategy strategy;
        std::unique_ptr<uint8_t[]> slot;
        smbios::SmbiosTableEntryPoint ep{};
        EXPECT_THROW_TEXT(strategy.getSmbiosTable(slot, ep, false), smbios::ParseException,
                          std::string("Could not read the SMBIOS table file "
                                      "/sys/firmware/dmi/tables/smbios_entry_point: ") +
                              std::strerror(openError));
        EXPECT_EQ(slot, nullptr);
        std::printf("this machine publishes no SMBIOS table in sysfs (%s)\n", std::strerror(openError));
        return;
    }
    (void)std::fclose(probe);
    std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
    strategies.push_back(std::make_unique<smbios::SmbiosSysfsStrategy>());
    smbios::SmbiosTable table(std::move(strategies), false);
    int visited = 0;
    for (auto it = table.begin(); it != table.end(); ++it) {
        ++visited;
    }
    std::printf("sysfs table: SMBIOS %u.%u, %d structures\n", table.getTableHeader().major_version,
                table.getTableHeader().minor_version, visited);
    EXPECT_GT(visited, 0);
}

TEST(SystemStrategiesPosixTest, WmiExistsOnlyOnWindows) {
    smbios::SmbiosWinWMIStrategy strategy;
    std::unique_ptr<uint8_t[]> slot;
    smbios::SmbiosTableEntryPoint ep{};
    EXPECT_THROW_TEXT(strategy.getSmbiosTable(slot, ep, false), smbios::NotImplemented,
                      "WMI exists only on Windows: the SMBIOS table cannot be read through WMI here.");
    EXPECT_EQ(slot, nullptr);
}

}  // namespace
