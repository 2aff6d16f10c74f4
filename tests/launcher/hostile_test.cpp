// The launcher under hostile conditions: an exit code that cannot be asked
// for, and odd environments. Each gives its defined behaviour; the asan
// preset checks that nothing is read or written outside a buffer. (Start
// directories of every length are in launch_sequence_test.cpp.)
#include <gtest/gtest.h>

#include <string>

#include "tests/launcher/LauncherFixture.h"

namespace {

using tarnwick_test::LauncherTest;

TEST_F(LauncherTest, ExitCodeThatCannotBeQueriedCountsAs0) {
    startFromNetworkDrive();
    machine.scriptRunsForMs = 1000000;
    machine.exitCodeQueryFails = true;
    machine.logFileExists = true;
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(machine.logContents, "dwExitCode is 0\r\nInside dwExitCode is 0\r\n");
    EXPECT_EQ(machine.exitCodeQueryTimes.size(), 2u) << "0 is no running script: no more polls";
    EXPECT_EQ(machine.sleeps.back(), 10000u);
}

struct Environment {
    const char *name;
    bool hasTemp;
    std::string temp;
    bool hasSystemDrive;
    std::string systemDrive;
    launcher::StartLocation expected;
};

void PrintTo(const Environment &e, std::ostream *out) {
    *out << e.name;
}

class HostileEnvironmentTest : public LauncherTest, public ::testing::WithParamInterface<Environment> {};

TEST_P(HostileEnvironmentTest, NetworkStartIsClassified) {
    startFromNetworkDrive();
    machine.environment.clear();
    if (GetParam().hasTemp) {
        machine.environment["TEMP"] = GetParam().temp;
    }
    if (GetParam().hasSystemDrive) {
        machine.environment["SYSTEMDRIVE"] = GetParam().systemDrive;
    }
    EXPECT_EQ(launcher::classifyStartLocation(), GetParam().expected);
    EXPECT_LT(std::string(launcher::tempPath).size(), 256u);
}

INSTANTIATE_TEST_SUITE_P(
    Variables, HostileEnvironmentTest,
    ::testing::Values(Environment{"TempUnset", false, "", true, "C:", launcher::TempNotOnSystemDrive},
                      Environment{"TempEmpty", true, "", true, "C:", launcher::TempNotOnSystemDrive},
                      Environment{"Temp300Characters", true, "C:\\" + std::string(297, 't'), true,
                                  "C:", launcher::TempNotOnSystemDrive},
                      Environment{"SystemDriveUnset", true, "C:\\Temp", false, "", launcher::TempNotOnSystemDrive},
                      Environment{"SystemDriveEmpty", true, "C:\\Temp", true, "", launcher::TempNotOnSystemDrive},
                      Environment{"SystemDriveTooLong", true, "C:\\Temp", true, "C:\\Windows",
                                  launcher::TempNotOnSystemDrive},
                      Environment{"BothUnset", false, "", false, "", launcher::TempNotOnSystemDrive}),
    [](const ::testing::TestParamInfo<Environment> &info) { return std::string(info.param.name); });

}  // namespace
