// The launcher's process-wide state and its launch log.
#include <cstdio>
#include <cstring>
#include <utility>

#include "launcher/Launcher.h"

namespace launcher {

const char kMessageTitle[] = "Tarnwick Launcher Message";
// Drive-relative: twklauncher.log in the current directory of drive C:.
const char kLaunchLogFileName[] = "C:twklauncher.log";

StartLocation startLocation = LocalDrive;
bool anotherInstanceRunning = false;
int32_t networkNoticeShown = 0;
bool loggingEnabled = false;
LaunchLog launchLog;
char tempPath[kTempPathSize] = {};
char windowTitle[kResourceStringSize] = {};
char windowClassName[kResourceStringSize] = {};
InstanceHandle instanceHandle = nullptr;
ILauncherPlatform *platform = nullptr;

ILogFile::~ILogFile() = default;
ILauncherPlatform::~ILauncherPlatform() = default;

void LaunchLog::attach(std::unique_ptr<ILogFile> logFile) {
    file = std::move(logFile);
}

void LaunchLog::close() {
    file.reset();
}

void LaunchLog::writeLine(const char *prefix, uint32_t number) {
    if (!file) {
        return;  // logging is on, but the file could not be opened for writing
    }
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%s%u\r\n", prefix, static_cast<unsigned>(number));
    file->write(line, static_cast<std::size_t>(length));
}

void resetLauncherState() {
    startLocation = LocalDrive;
    anotherInstanceRunning = false;
    networkNoticeShown = 0;
    loggingEnabled = false;
    launchLog.close();
    std::memset(tempPath, 0, sizeof tempPath);
    std::memset(windowTitle, 0, sizeof windowTitle);
    std::memset(windowClassName, 0, sizeof windowClassName);
    instanceHandle = nullptr;
}

}  // namespace launcher
