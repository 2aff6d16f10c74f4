// Tests of the launch sequence over the scripted machine: the start
// directory check, the Server Core branch, refusals, the script's command
// line, polling and pauses, the launch log, and the one message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/launcher/LauncherFixture.h"

namespace {

using tarnwick_test::FakeLauncherPlatform;
using tarnwick_test::LauncherTest;

const char kTitle[] = "Tarnwick Launcher Message";

std::string pathTooLong(const std::string &directory) {
    return "The length of the path\"" + directory +
           "\" from which TWK is running has exceeded 260 characters which is the maximum path length allowed by "
           "your operating system. Run TWK from another location where the length of the path is less than 260 "
           "characters.";
}

// A directory of exactly `length` characters.
std::string directoryOfLength(std::size_t length) {
    std::string directory = "C:\\";
    while (directory.size() < length) {
        directory += (directory.size() % 10 == 9) ? '\\' : 'd';
    }
    return directory;
}

// ---------------------------------------------------------------------------
// The start directory.

// Up to 260 characters a start directory is accepted; a longer one is
// refused by a message that names the whole directory, even one longer than
// the buffer the directory is read into (5000).
class StartDirectoryLengthTest : public LauncherTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(StartDirectoryLengthTest, OnlyUpTo260CharactersAreAccepted) {
    machine.currentDirectory = directoryOfLength(GetParam());
    const int status = run();
    if (GetParam() <= 260) {
        EXPECT_FALSE(exited);
        EXPECT_TRUE(machine.messageBoxes.empty());
        EXPECT_EQ(machine.processStarts.size(), 1u);
        return;
    }
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(exited);
    ASSERT_EQ(machine.messageBoxes.size(), 1u);
    EXPECT_EQ(machine.messageBoxes[0].text, pathTooLong(machine.currentDirectory));
    EXPECT_EQ(machine.messageBoxes[0].title, kTitle);
    EXPECT_EQ(machine.messageBoxes[0].flags, 0u);
    EXPECT_TRUE(machine.processStarts.empty());
    EXPECT_TRUE(machine.windows.empty());
}

INSTANTIATE_TEST_SUITE_P(Lengths, StartDirectoryLengthTest,
                         ::testing::Values(259u, 260u, 261u, 4999u, 5000u, 6000u, 20000u));

// ---------------------------------------------------------------------------
// Server Core.

class ServerCoreTest : public LauncherTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(ServerCoreTest, RunsTheCheckScriptAndWaitsForIt) {
    machine.productType = GetParam();
    machine.logFileExists = true;
    machine.scriptRunsForMs = 42000;
    machine.scriptExitCode = 9;
    EXPECT_EQ(run(), 0);
    EXPECT_FALSE(exited);
    ASSERT_EQ(machine.processStarts.size(), 1u);
    const FakeLauncherPlatform::ProcessStart &start = machine.processStarts[0];
    EXPECT_EQ(start.commandLine, "\"C:\\work\\app\\bin\\Windows\\checkOS.bat\" ");
    EXPECT_EQ(start.title, "Tarnwick");
    EXPECT_EQ(start.showWindow, 5);
    EXPECT_EQ(start.startupFlags, 1u);
    EXPECT_EQ(start.creationFlags, 0x10u);
    EXPECT_TRUE(start.inheritHandles);
    EXPECT_EQ(machine.waits, std::vector<uint32_t>{0xFFFFFFFF});
    EXPECT_TRUE(machine.windows.empty());
    EXPECT_EQ(machine.classesRegistered, 0);
    EXPECT_TRUE(machine.driveTypeQueries.empty()) << "no start-location check";
    EXPECT_EQ(machine.logContents, "") << "the log is emptied but gets no line";
    EXPECT_TRUE(machine.sleeps.empty());
}

INSTANTIATE_TEST_SUITE_P(ProductTypes, ServerCoreTest, ::testing::Values(12u, 13u, 14u));

class NotServerCoreTest : public LauncherTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(NotServerCoreTest, RunsTheNormalSequence) {
    machine.productType = GetParam();
    run();
    ASSERT_EQ(machine.processStarts.size(), 1u);
    EXPECT_EQ(machine.processStarts[0].commandLine, "\"C:\\work\\app\\twk.cmd\" -g");
    EXPECT_EQ(machine.windows.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(ProductTypes, NotServerCoreTest, ::testing::Values(0u, 7u, 8u, 11u, 15u, 0x29u));

TEST_F(LauncherTest, FailingVersionQueryRunsTheNormalSequence) {
    machine.productType = 12;
    machine.longVersionRecordFails = true;
    machine.shortVersionRecordFails = true;
    EXPECT_EQ(launcher::isServerCoreEdition(), 2);
    EXPECT_EQ(machine.versionRecordSizes, (std::vector<uint32_t>{156, 148}));
    run();
    ASSERT_EQ(machine.processStarts.size(), 1u);
    EXPECT_EQ(machine.processStarts[0].commandLine, "\"C:\\work\\app\\twk.cmd\" -g");
}

TEST_F(LauncherTest, ShortVersionRecordStillFindsServerCore) {
    machine.productType = 13;
    machine.longVersionRecordFails = true;
    EXPECT_EQ(launcher::isServerCoreEdition(), 1);
    EXPECT_EQ(machine.versionRecordSizes, (std::vector<uint32_t>{156, 148}));
}

TEST_F(LauncherTest, WithoutGetProductInfoNothingIsServerCore) {
    machine.productType = 14;
    machine.hasGetProductInfo = false;
    EXPECT_EQ(launcher::isServerCoreEdition(), 0);
    EXPECT_EQ(machine.callCount("GetModuleHandleA kernel32"), 1u);
    EXPECT_EQ(machine.callCount("GetProductInfo"), 0u);
}

// ---------------------------------------------------------------------------
// Refused start locations.

struct Refusal {
    const char *name;
    void (*arrange)(FakeLauncherPlatform &);
    std::string message;
};

void PrintTo(const Refusal &refusal, std::ostream *out) {
    *out << refusal.name;
}

class RefusalTest : public LauncherTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusalTest, ShowsTheMessageAndExitsWith1) {
    GetParam().arrange(machine);
    machine.logFileExists = true;
    EXPECT_EQ(run(), 1);
    EXPECT_TRUE(exited);
    ASSERT_EQ(machine.messageBoxes.size(), 1u);
    EXPECT_EQ(machine.messageBoxes[0].text, GetParam().message);
    EXPECT_EQ(machine.messageBoxes[0].title, kTitle);
    EXPECT_EQ(machine.messageBoxes[0].flags, 0x10u);
    EXPECT_TRUE(machine.processStarts.empty());
    EXPECT_TRUE(machine.windows.empty());
    EXPECT_EQ(machine.logContents, "");
}

INSTANTIATE_TEST_SUITE_P(
    Locations, RefusalTest,
    ::testing::Values(
        Refusal{"NotEnoughSpace",
                [](FakeLauncherPlatform &m) {
                    m.currentDirectory = "N:\\twk";
                    m.driveTypes["N:"] = 4;
                    m.freeBytes["C:"] = 49999999;
                },
                "Not enough disk space to run TWK. You should have at least 50 MB of space available to run TWK "},
        Refusal{"TempNotOnSystemDrive",
                [](FakeLauncherPlatform &m) {
                    m.currentDirectory = "N:\\twk";
                    m.driveTypes["N:"] = 4;
                    m.environment["TEMP"] = "D:\\Temp";
                },
                "%TEMP% location does not exist or not set on System Drive location!\n Please set %TEMP% "
                "environment variable on System Drive to run TWK.   "},
        Refusal{"InvalidDriveUnknownType",
                [](FakeLauncherPlatform &m) {
                    m.currentDirectory = "Q:\\twk";
                    m.driveTypes["Q:"] = 0;
                },
                "Invalid Drive\nPlease Check for SystemDrive Errors   "},
        Refusal{"InvalidDriveFreeSpaceUnknown",
                [](FakeLauncherPlatform &m) {
                    m.currentDirectory = "N:\\twk";
                    m.driveTypes["N:"] = 4;
                    m.freeBytes.clear();
                },
                "Invalid Drive\nPlease Check for SystemDrive Errors   "}),
    [](const ::testing::TestParamInfo<Refusal> &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Starting and polling the script.

TEST_F(LauncherTest, StartsTheScriptHiddenInANewConsole) {
    run();
    ASSERT_EQ(machine.processStarts.size(), 1u);
    const FakeLauncherPlatform::ProcessStart &start = machine.processStarts[0];
    EXPECT_EQ(start.commandLine, "\"C:\\work\\app\\twk.cmd\" -g");
    EXPECT_TRUE(start.inheritHandles);
    EXPECT_EQ(start.creationFlags, 0x10u);
    EXPECT_EQ(start.startupFlags, 1u);
    EXPECT_EQ(start.showWindow, 0);
    EXPECT_EQ(start.title, "");
    EXPECT_TRUE(machine.waits.empty()) << "the launcher never waits for the script";
}

TEST_F(LauncherTest, ScriptDoneAtTheFirstQuery) {
    machine.scriptRunsForMs = 500;
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(machine.exitCodeQueryTimes, std::vector<uint64_t>{1000});
    EXPECT_EQ(machine.sleeps, (std::vector<uint32_t>{1000, 5000}));
}

TEST_F(LauncherTest, PollsEveryTwoSecondsUntilTheScriptEnds) {
    machine.scriptRunsForMs = 6000;
    run();
    EXPECT_EQ(machine.exitCodeQueryTimes, (std::vector<uint64_t>{1000, 3000, 5000, 7000}));
    EXPECT_EQ(machine.sleeps, (std::vector<uint32_t>{1000, 2000, 2000, 2000, 5000}));
}

TEST_F(LauncherTest, LocalStartPollsAtMost15Times) {
    machine.scriptRunsForMs = 1000000;
    machine.logFileExists = true;
    run();
    EXPECT_EQ(machine.exitCodeQueryTimes.size(), 15u);
    EXPECT_EQ(machine.exitCodeQueryTimes.back(), 29000u);
    std::vector<uint32_t> expected = {1000};
    expected.insert(expected.end(), 14, 2000);
    expected.push_back(5000);
    EXPECT_EQ(machine.sleeps, expected);
    EXPECT_EQ(machine.logContents, "dwExitCode is 259\r\n");
    EXPECT_EQ(machine.windows.size(), 1u) << "the window is shown at once";
}

TEST_F(LauncherTest, NetworkStartPolls61TimesMoreAndPausesTenSeconds) {
    startFromNetworkDrive();
    machine.scriptRunsForMs = 1000000;
    machine.logFileExists = true;
    run();
    ASSERT_EQ(machine.exitCodeQueryTimes.size(), 15u + 61u);
    EXPECT_EQ(machine.exitCodeQueryTimes[15], 29000u) << "the second phase asks at once";
    EXPECT_EQ(machine.exitCodeQueryTimes.back(), 149000u);
    EXPECT_EQ(machine.sleeps.back(), 10000u);
    EXPECT_EQ(machine.logContents, "dwExitCode is 259\r\nInside dwExitCode is 259\r\n");
}

TEST_F(LauncherTest, ExitCode2InTheFirstPhase) {
    startFromNetworkDrive();
    machine.scriptRunsForMs = 3000;
    machine.scriptExitCode = 2;
    machine.logFileExists = true;
    run();
    EXPECT_TRUE(launcher::anotherInstanceRunning);
    ASSERT_EQ(machine.windows.size(), 1u);
    EXPECT_EQ(machine.windows[0].width, 550);
    EXPECT_EQ(machine.windows[0].height, 120);
    EXPECT_EQ(machine.exitCodeQueryTimes.size(), 2u) << "no second phase, even on a network start";
    EXPECT_EQ(launcher::networkNoticeShown, 0);
    EXPECT_EQ(machine.sleeps.back(), 5000u);
    EXPECT_EQ(machine.logContents, "dwExitCode is 2\r\n");
}

TEST_F(LauncherTest, ExitCode2InTheSecondPhaseOpensASecondWindow) {
    startFromNetworkDrive();
    machine.scriptRunsForMs = 40000;
    machine.scriptExitCode = 2;
    machine.logFileExists = true;
    run();
    ASSERT_EQ(machine.windows.size(), 2u);
    EXPECT_EQ(machine.windows[0].width, 500);
    EXPECT_EQ(machine.windows[1].width, 550);
    EXPECT_EQ(machine.windows[1].height, 120);
    EXPECT_EQ(textsOf(2).front(), "Another instance of TWK is already running. Hence exiting the application.....");
    EXPECT_EQ(launcher::networkNoticeShown, 1);
    EXPECT_EQ(machine.sleeps.back(), 10000u) << "the first window showed the network notice";
    EXPECT_EQ(machine.logContents, "dwExitCode is 259\r\nInside dwExitCode is 2\r\n");
}

class OtherExitCodeTest : public LauncherTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(OtherExitCodeTest, ChangesNothing) {
    startFromNetworkDrive();
    machine.scriptExitCode = GetParam();
    machine.logFileExists = true;
    EXPECT_EQ(run(), 0);
    EXPECT_FALSE(launcher::anotherInstanceRunning);
    EXPECT_EQ(machine.windows.size(), 1u);
    EXPECT_EQ(machine.windows[0].width, 500);
    EXPECT_EQ(machine.exitCodeQueryTimes.size(), 2u);
    EXPECT_EQ(machine.logContents, "dwExitCode is " + std::to_string(GetParam()) + "\r\nInside dwExitCode is " +
                                       std::to_string(GetParam()) + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Codes, OtherExitCodeTest, ::testing::Values(0u, 1u, 3u, 258u, 260u, 0xFFFFFFFFu));

// The queries leave the code alone when the script never started: 0.
TEST_F(LauncherTest, ScriptThatCannotStartCountsAsExitCode0) {
    machine.processStartFails = true;
    machine.logFileExists = true;
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(machine.logContents, "dwExitCode is 0\r\n");
    EXPECT_EQ(machine.windows.size(), 1u);
    EXPECT_EQ(machine.sleeps, (std::vector<uint32_t>{1000, 5000}));
}

// ---------------------------------------------------------------------------
// The launch log.

TEST_F(LauncherTest, WithoutTheLogFileNothingIsWritten) {
    run();
    EXPECT_FALSE(launcher::loggingEnabled);
    EXPECT_EQ(machine.callCount("open log for writing C:twklauncher.log"), 0u);
    EXPECT_TRUE(machine.logEvents.empty());
}

TEST_F(LauncherTest, ExistingLogFileIsEmptiedAndGetsOneLine) {
    machine.logFileExists = true;
    machine.logContents = "old line\r\n";
    run();
    EXPECT_TRUE(launcher::loggingEnabled);
    EXPECT_EQ(machine.logEvents, (std::vector<std::string>{"open read", "close read", "open write"}));
    EXPECT_EQ(machine.logContents, "dwExitCode is 0\r\n");
}

TEST_F(LauncherTest, LogThatCannotBeWrittenDropsItsLines) {
    machine.logFileExists = true;
    machine.logOpenForWritingFails = true;
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(launcher::loggingEnabled);
    EXPECT_EQ(machine.logContents, "");
}

// ---------------------------------------------------------------------------
// The one message, and how the launcher ends.

TEST_F(LauncherTest, ExactlyOneMessageIsHandledAndItsWParamIsTheStatus) {
    machine.messages.push_back({FakeLauncherPlatform::windowHandle(1), 0x0100 /* WM_KEYDOWN */, 7, 0});
    machine.messages.push_back({FakeLauncherPlatform::windowHandle(1), 0x0200, 9, 0});
    EXPECT_EQ(run(), 7);
    EXPECT_EQ(machine.messagesFetched, 1);
    EXPECT_EQ(machine.messagesTranslated, 1);
    EXPECT_EQ(machine.messagesDispatched, 1);
    EXPECT_EQ(machine.callCount("LoadAcceleratorsA 109"), 1u);
}

TEST_F(LauncherTest, QuitMessageIsNotDispatched) {
    machine.messages.push_back({nullptr, 0x0012 /* WM_QUIT */, 0, 0});
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(machine.messagesDispatched, 0);
    EXPECT_EQ(machine.sleeps.back(), 5000u);
}

TEST_F(LauncherTest, AcceleratorConsumesTheMessage) {
    machine.acceleratorResult = 1;
    run();
    EXPECT_EQ(machine.messagesTranslated, 0);
    EXPECT_EQ(machine.messagesDispatched, 0);
}

TEST_F(LauncherTest, AcceleratorCommandHasNoEffectOfItsOwn) {
    machine.messages.push_back({FakeLauncherPlatform::windowHandle(1), 0x0111 /* WM_COMMAND */, 104, 0});
    EXPECT_EQ(run(), 104);
    EXPECT_EQ(machine.defaultHandled, std::vector<uint32_t>{0x0111});
    EXPECT_TRUE(machine.quitMessages.empty());
}

TEST_F(LauncherTest, FailedWindowEndsTheLauncherAtOnce) {
    startFromNetworkDrive();
    machine.failWindowCreation = 1;
    machine.logFileExists = true;
    EXPECT_EQ(run(), 0);
    EXPECT_FALSE(exited);
    EXPECT_EQ(machine.exitCodeQueryTimes.size(), 1u) << "no second phase";
    EXPECT_EQ(machine.messagesFetched, 0);
    EXPECT_EQ(machine.sleeps, std::vector<uint32_t>{1000});
    EXPECT_EQ(machine.logContents, "dwExitCode is 0\r\n");
}

TEST_F(LauncherTest, FailedSecondWindowEndsTheLauncherAtOnce) {
    startFromNetworkDrive();
    machine.scriptRunsForMs = 40000;
    machine.scriptExitCode = 2;
    machine.failWindowCreation = 2;
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(machine.windows.size(), 2u);
    EXPECT_EQ(machine.messagesFetched, 0);
}

}  // namespace
