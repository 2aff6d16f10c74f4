// The launch sequence: check the start directory and the machine, start the
// product script, poll its exit code, show the status window, pause, end.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "launcher/Launcher.h"

namespace launcher {
namespace {

const char kPathTooLongBefore[] = "The length of the path\"";
const char kPathTooLongAfter[] =
    "\" from which TWK is running has exceeded 260 characters which is the maximum path length allowed by your "
    "operating system. Run TWK from another location where the length of the path is less than 260 characters.";
const char kNotEnoughSpace[] =
    "Not enough disk space to run TWK. You should have at least 50 MB of space available to run TWK ";
const char kTempNotOnSystemDrive[] =
    "%TEMP% location does not exist or not set on System Drive location!\n Please set %TEMP% environment "
    "variable on System Drive to run TWK.   ";
const char kInvalidDrive[] = "Invalid Drive\nPlease Check for SystemDrive Errors   ";

// The current directory however long it is: the fixed buffer holds only
// 4999 characters, but the message must name the whole directory.
std::string wholeCurrentDirectory(uint32_t required) {
    std::vector<char> buffer(required + 1, '\0');
    platform->getCurrentDirectory(static_cast<uint32_t>(buffer.size()), buffer.data());
    return buffer.data();
}

// Writes `text` into the command-line buffer, as much as fits.
void setCommandLine(char (&buffer)[kPathBufferSize], const std::string &text) {
    (void)std::snprintf(buffer, sizeof buffer, "%s", text.c_str());  // truncated if need be
}

void queryExitCode(const ProcessInformation &process, uint32_t &exitCode) {
    // A failed query (the script could not be started) leaves the code as it was.
    platform->getExitCodeProcess(process.process, &exitCode);
}

// One query of the script's exit code, then up to `further` more, a poll
// interval apart, while the script runs.
void pollExitCode(const ProcessInformation &process, uint32_t &exitCode, int further) {
    queryExitCode(process, exitCode);
    for (int query = 0; exitCode == kStillActive && query < further; ++query) {
        platform->sleep(kPollIntervalMs);
        queryExitCode(process, exitCode);
    }
}

// A start directory longer than the system allows cannot run the product:
// the launcher says so, naming the whole directory, and ends.
void refuseOverlongStartDirectory(char (&buffer)[kPathBufferSize]) {
    const uint32_t length = platform->getCurrentDirectory(kPathBufferSize, buffer);
    if (length > kMaxStartDirectory) {
        // A directory too long for the buffer reports the size it needs.
        const std::string directory = length < kPathBufferSize ? std::string(buffer) : wholeCurrentDirectory(length);
        const std::string text = kPathTooLongBefore + directory + kPathTooLongAfter;
        platform->messageBox(nullptr, text.c_str(), kMessageTitle, kMbOk);
        platform->exitProcess(0);
    }
}

// Server Core cannot show the product: the operating-system check runs in
// its place, in a console of its own, and the launcher waits for it.
void runOperatingSystemCheck(char (&buffer)[kPathBufferSize], StartDescription startup) {
    ProcessInformation process;
    std::memset(buffer, 0, sizeof buffer);
    platform->getCurrentDirectory(kPathBufferSize, buffer);
    setCommandLine(buffer, "\"" + std::string(buffer) + "\\bin\\Windows\\checkOS.bat\" ");
    startup.title = "Tarnwick";
    startup.showWindow = kSwShow;
    platform->createProcess(buffer, true, kCreateNewConsole, startup, &process);
    platform->waitForSingleObject(process.process, kInfinite);
}

// Classifies the start location; one the product cannot run from is
// refused with its message, and the launcher ends.
void refuseUnfitStartLocation() {
    startLocation = classifyStartLocation();
    const char *refusal = nullptr;
    switch (startLocation) {
    case NotEnoughSpace:
        refusal = kNotEnoughSpace;
        break;
    case TempNotOnSystemDrive:
        refusal = kTempNotOnSystemDrive;
        break;
    case InvalidDrive:
        refusal = kInvalidDrive;
        break;
    case LocalDrive:
    case NetworkPath:
        break;
    }
    if (refusal != nullptr) {
        platform->messageBox(nullptr, refusal, kMessageTitle, kMbIconError);
        platform->exitProcess(1);
    }
}

// A script started from the network takes longer: after the window is up,
// it is polled for about two more minutes. Where it then reports another
// instance, the window is made again to say so. False when a window could
// not be made.
bool pollNetworkStart(InstanceHandle instance, int showCommand, const ProcessInformation &process, uint32_t &exitCode) {
    pollExitCode(process, exitCode, kSecondPhaseFurtherQueries);
    if (loggingEnabled) {
        launchLog.writeLine("Inside dwExitCode is ", exitCode);
    }
    if (exitCode == kAnotherInstanceExitCode) {
        anotherInstanceRunning = true;
        return createStatusWindow(instance, showCommand);
    }
    return true;
}

// The launcher handles exactly one message (there is no message loop) and
// gives its wParam back as the exit status.
int32_t handleOneMessage(InstanceHandle instance) {
    Message message;
    ObjectHandle accelerators = platform->loadAccelerators(instance, kAcceleratorTable);
    if (platform->getMessage(&message, nullptr, 0, 0) != 0 &&
        platform->translateAccelerator(message.window, accelerators, &message) == 0) {
        platform->translateMessage(&message);
        platform->dispatchMessage(&message);
    }
    return static_cast<int32_t>(message.wParam);
}

}  // namespace

int launcherMain(InstanceHandle instance, InstanceHandle, char *, int showCommand) {
    // Logging is switched on by creating the file before the start; every
    // launch empties it.
    if (std::unique_ptr<ILogFile> probe = platform->openLogForReading(kLaunchLogFileName)) {
        loggingEnabled = true;
        probe.reset();
        launchLog.attach(platform->openLogForWriting(kLaunchLogFileName));
    }
    return runLauncher(instance, showCommand);
}

int runLauncher(InstanceHandle instance, int showCommand) {
    char buffer[kPathBufferSize] = {};  // the directory, later the command line
    StartDescription startup;
    startup.flags = kStartfUseShowWindow;
    startup.showWindow = kSwHide;

    refuseOverlongStartDirectory(buffer);
    if (isServerCoreEdition() == 1) {
        runOperatingSystemCheck(buffer, startup);
        return 0;
    }
    refuseUnfitStartLocation();

    std::memset(buffer, 0, sizeof buffer);
    platform->getFullPathName("twk.cmd", kPathBufferSize, buffer);
    setCommandLine(buffer, "\"" + std::string(buffer) + "\" -g");
    platform->loadString(instance, kTitleString, windowTitle, kResourceStringSize);
    platform->loadString(instance, kClassNameString, windowClassName, kResourceStringSize);
    registerStatusWindowClass(instance);

    // The script's console stays hidden; the script outlives the launcher.
    ProcessInformation process;
    platform->createProcess(buffer, true, kCreateNewConsole, startup, &process);

    // The queries leave the code unwritten when the script did not start;
    // 0 means nothing to the sequence.
    uint32_t exitCode = 0;
    platform->sleep(kFirstPollWaitMs);
    pollExitCode(process, exitCode, kFirstPhaseFurtherQueries);
    if (exitCode == kAnotherInstanceExitCode) {
        anotherInstanceRunning = true;
    }
    if (loggingEnabled) {
        launchLog.writeLine("dwExitCode is ", exitCode);
    }

    // The window paints while it is made.
    if (!createStatusWindow(instance, showCommand)) {
        return 0;
    }
    if (!anotherInstanceRunning && startLocation == NetworkPath &&
        !pollNetworkStart(instance, showCommand, process, exitCode)) {
        return 0;
    }

    const int32_t status = handleOneMessage(instance);
    // The user is given time to read the window; longer after the notice
    // that the product runs from the network.
    platform->sleep(networkNoticeShown == 1 ? kNetworkPauseMs : kPauseMs);
    return status;
}

}  // namespace launcher
