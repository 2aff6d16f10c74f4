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

}  // namespace

int WinMain(InstanceHandle instance, InstanceHandle, char *, int showCommand) {
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
    ProcessInformation process;
    // The queries leave the code unwritten when the script did not start;
    // 0 means nothing to the sequence.
    uint32_t exitCode = 0;
    Message message;

    // 1. A start directory longer than the system allows.
    const uint32_t length = platform->getCurrentDirectory(kPathBufferSize, buffer);
    if (length > kMaxStartDirectory) {
        // A directory too long for the buffer reports the size it needs.
        const std::string directory = length < kPathBufferSize ? std::string(buffer) : wholeCurrentDirectory(length);
        const std::string text = kPathTooLongBefore + directory + kPathTooLongAfter;
        platform->messageBox(nullptr, text.c_str(), kMessageTitle, kMbOk);
        platform->exitProcess(0);
    }

    // 2. Server Core: run the operating-system check instead, and wait for it.
    if (isServerCoreEdition() == 1) {
        std::memset(buffer, 0, sizeof buffer);
        platform->getCurrentDirectory(kPathBufferSize, buffer);
        setCommandLine(buffer, "\"" + std::string(buffer) + "\\bin\\Windows\\checkOS.bat\" ");
        startup.title = "Tarnwick";
        startup.showWindow = kSwShow;
        platform->createProcess(buffer, true, kCreateNewConsole, startup, &process);
        platform->waitForSingleObject(process.process, kInfinite);
        return 0;
    }

    // 3. Refuse unfit start locations.
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

    // 4. "<full path of twk.cmd>" -g
    std::memset(buffer, 0, sizeof buffer);
    platform->getFullPathName("twk.cmd", kPathBufferSize, buffer);
    setCommandLine(buffer, "\"" + std::string(buffer) + "\" -g");

    // 5. The window's texts and class.
    platform->loadString(instance, kTitleString, windowTitle, kResourceStringSize);
    platform->loadString(instance, kClassNameString, windowClassName, kResourceStringSize);
    registerStatusWindowClass(instance);

    // 6. The script's console stays hidden; it outlives the launcher.
    platform->createProcess(buffer, true, kCreateNewConsole, startup, &process);

    // 7. First polling phase: at most 15 queries, about 29 s.
    platform->sleep(kFirstPollWaitMs);
    queryExitCode(process, exitCode);
    for (int further = 0; exitCode == kStillActive && further < kFirstPhaseFurtherQueries; ++further) {
        platform->sleep(kPollIntervalMs);
        queryExitCode(process, exitCode);
    }

    // 8., 9.
    if (exitCode == 2) {
        anotherInstanceRunning = true;
    }
    if (loggingEnabled) {
        launchLog.writeLine("dwExitCode is ", exitCode);
    }

    // 10. The window paints while it is created.
    if (!createStatusWindow(instance, showCommand)) {
        return 0;
    }

    // 11. A network start polls up to 61 more times, about 120 s.
    if (!anotherInstanceRunning && startLocation == NetworkPath) {
        queryExitCode(process, exitCode);
        for (int further = 0; exitCode == kStillActive && further < kSecondPhaseFurtherQueries; ++further) {
            platform->sleep(kPollIntervalMs);
            queryExitCode(process, exitCode);
        }
        if (loggingEnabled) {
            launchLog.writeLine("Inside dwExitCode is ", exitCode);
        }
        if (exitCode == 2) {
            anotherInstanceRunning = true;
            if (!createStatusWindow(instance, showCommand)) {
                return 0;
            }
        }
    }

    // 12. Exactly one message; there is no message loop.
    ObjectHandle accelerators = platform->loadAccelerators(instance, kAcceleratorTable);
    if (platform->getMessage(&message, nullptr, 0, 0) != 0 &&
        platform->translateAccelerator(message.window, accelerators, &message) == 0) {
        platform->translateMessage(&message);
        platform->dispatchMessage(&message);
    }

    // 13., 14.
    platform->sleep(networkNoticeShown == 1 ? kNetworkPauseMs : kPauseMs);
    return static_cast<int32_t>(message.wParam);
}

}  // namespace launcher
