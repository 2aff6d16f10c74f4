// Tests of the environment probes: the start location by drive type and
// path, and the checks of a network start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/launcher/LauncherFixture.h"

namespace {

using launcher::StartLocation;
using tarnwick_test::LauncherTest;

struct DriveCase {
    const char *name;
    std::string directory;
    std::string drive;
    uint32_t driveType;
    StartLocation expected;
    bool networkChecked;
};

void PrintTo(const DriveCase &c, std::ostream *out) {
    *out << c.name;
}

class StartLocationTest : public LauncherTest, public ::testing::WithParamInterface<DriveCase> {};

TEST_P(StartLocationTest, ClassifiesByDriveType) {
    const DriveCase &c = GetParam();
    machine.currentDirectory = c.directory;
    machine.driveTypes[c.drive] = c.driveType;
    EXPECT_EQ(launcher::classifyStartLocation(), c.expected);
    EXPECT_EQ(machine.driveTypeQueries, std::vector<std::string>{c.drive});
    EXPECT_EQ(machine.callCount("GetEnvironmentVariableA TEMP"), c.networkChecked ? 1u : 0u);
    if (!c.networkChecked) {
        EXPECT_EQ(launcher::tempPath[0], '\0') << "a local start never touches tempPath";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Drives, StartLocationTest,
    ::testing::Values(DriveCase{"Fixed", "C:\\work\\app", "C:", 3, launcher::LocalDrive, false},
                      DriveCase{"Removable", "E:\\twk", "E:", 2, launcher::LocalDrive, false},
                      DriveCase{"CdRom", "F:\\twk", "F:", 5, launcher::LocalDrive, false},
                      DriveCase{"RamDisk", "R:\\twk", "R:", 6, launcher::LocalDrive, false},
                      DriveCase{"MappedNetworkDrive", "N:\\share\\twk", "N:", 4, launcher::NetworkPath, true},
                      DriveCase{"Unc", "\\\\server\\share\\twk", "", 1, launcher::NetworkPath, true},
                      DriveCase{"NoRootWithoutUnc", "C:\\gone\\twk", "C:", 1, launcher::LocalDrive, false},
                      DriveCase{"NoRootTwoBackslashesOnly", "\\\\", "", 1, launcher::LocalDrive, false},
                      DriveCase{"Unknown", "Q:\\twk", "Q:", 0, launcher::InvalidDrive, false}),
    [](const ::testing::TestParamInfo<DriveCase> &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The network checks.

class NetworkCheckTest : public LauncherTest {
protected:
    NetworkCheckTest() { startFromNetworkDrive(); }
};

TEST_F(NetworkCheckTest, TempOnTheSystemDriveWithEnoughSpace) {
    EXPECT_EQ(launcher::checkNetworkPrerequisites(), launcher::NetworkPath);
    EXPECT_STREQ(launcher::tempPath, "C:\\Temp");
    EXPECT_EQ(machine.freeSpaceQueries, std::vector<std::string>{"C:"}) << "the SYSTEMDRIVE value is queried";
}

TEST_F(NetworkCheckTest, Exactly50000000FreeBytesAreEnough) {
    machine.freeBytes["C:"] = 50000000;
    EXPECT_EQ(launcher::checkNetworkPrerequisites(), launcher::NetworkPath);
    machine.freeBytes["C:"] = 49999999;
    EXPECT_EQ(launcher::checkNetworkPrerequisites(), launcher::NotEnoughSpace);
    machine.freeBytes["C:"] = 52428799;  // "50 MB" is not 50 x 1,048,576
    EXPECT_EQ(launcher::checkNetworkPrerequisites(), launcher::NetworkPath);
}

TEST_F(NetworkCheckTest, FreeSpaceQueryFailureIsAnInvalidDrive) {
    machine.freeBytes.clear();
    EXPECT_EQ(launcher::checkNetworkPrerequisites(), launcher::InvalidDrive);
}

TEST_F(NetworkCheckTest, OnlyTheFirstByteIsComparedAndCaseCounts) {
    machine.environment["TEMP"] = "c:\\temp";
    EXPECT_EQ(launcher::checkNetworkPrerequisites(), launcher::TempNotOnSystemDrive);
    machine.environment["TEMP"] = "Cx";
    EXPECT_EQ(launcher::checkNetworkPrerequisites(), launcher::NetworkPath);
}

TEST_F(NetworkCheckTest, UnsetTempIsRefused) {
    machine.environment.erase("TEMP");
    EXPECT_EQ(launcher::checkNetworkPrerequisites(), launcher::TempNotOnSystemDrive);
    EXPECT_TRUE(machine.freeSpaceQueries.empty());
}

TEST_F(NetworkCheckTest, TempTooLongForItsBufferIsRefused) {
    machine.environment["TEMP"] = "C:\\" + std::string(253, 't');  // 256 characters
    EXPECT_EQ(launcher::checkNetworkPrerequisites(), launcher::TempNotOnSystemDrive);
    EXPECT_EQ(launcher::tempPath[0], '\0');
    machine.environment["TEMP"] = "C:\\" + std::string(252, 't');  // 255 fit
    EXPECT_EQ(launcher::checkNetworkPrerequisites(), launcher::NetworkPath);
    EXPECT_EQ(std::string(launcher::tempPath).size(), 255u);
}

// SYSTEMDRIVE unset, or too long for its 4-byte buffer: the buffer starts
// empty, so any TEMP differs from it.
TEST_F(NetworkCheckTest, UnusableSystemDriveIsRefused) {
    machine.environment.erase("SYSTEMDRIVE");
    EXPECT_EQ(launcher::checkNetworkPrerequisites(), launcher::TempNotOnSystemDrive);
    machine.environment["SYSTEMDRIVE"] = "C:\\W";
    EXPECT_EQ(launcher::checkNetworkPrerequisites(), launcher::TempNotOnSystemDrive);
    EXPECT_TRUE(machine.freeSpaceQueries.empty());
}

// With both unset, their first bytes agree (both zero); an unset TEMP is
// still refused, instead of querying the free space of "".
TEST_F(NetworkCheckTest, NeitherTempNorSystemDriveSetIsRefused) {
    machine.environment.clear();
    EXPECT_EQ(launcher::checkNetworkPrerequisites(), launcher::TempNotOnSystemDrive);
    EXPECT_TRUE(machine.freeSpaceQueries.empty());
}

}  // namespace
