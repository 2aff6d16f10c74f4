// The Tarnwick start-up launcher: the launch sequence, the environment
// probes and the status window, with the process-wide state they share.
// Procedural code over the platform's single-byte operations and fixed
// buffers; every platform operation goes through `platform`.
#ifndef TARNWICK_LAUNCHER_LAUNCHER_H
#define TARNWICK_LAUNCHER_LAUNCHER_H

#include <cstdint>
#include <memory>

#include "launcher/LauncherPlatform.h"

namespace launcher {

// Where the launcher was started from; the values are fixed.
enum StartLocation : int32_t {
    LocalDrive = 0,
    NotEnoughSpace = 1,
    NetworkPath = 2,
    TempNotOnSystemDrive = 3,
    InvalidDrive = 4,
};

// Windows constants the launcher passes or tests.
constexpr uint32_t kStillActive = 259;
constexpr uint32_t kStartfUseShowWindow = 0x1;
constexpr uint16_t kSwHide = 0;
constexpr uint16_t kSwShow = 5;
constexpr uint32_t kCreateNewConsole = 0x10;
constexpr uint32_t kInfinite = 0xFFFFFFFF;
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbIconError = 0x10;
constexpr uint32_t kDriveUnknown = 0;
constexpr uint32_t kDriveNoRootDir = 1;
constexpr uint32_t kDriveRemote = 4;
constexpr uint32_t kWmDestroy = 0x0002;
constexpr uint32_t kWmPaint = 0x000F;
constexpr uint32_t kEtoOpaque = 2;
constexpr uint32_t kEtoClipped = 4;
constexpr uint32_t kStatusWindowClassStyle = 0x23;  // CS_VREDRAW | CS_HREDRAW | CS_OWNDC
constexpr uint32_t kWsOverlapped = 0;
constexpr uint32_t kIdcArrow = 32512;
constexpr int kWhiteBrush = 0;
constexpr uint32_t kStatusBackground = 0x00FCEBDA;  // RGB(218, 235, 252)

// Resources.
constexpr uint32_t kTitleString = 103;
constexpr uint32_t kStatusString = 104;
constexpr uint32_t kClassNameString = 109;
constexpr uint32_t kAcceleratorTable = 109;
constexpr uint32_t kIconGroup = 107;

// Sizes and times.
constexpr uint32_t kPathBufferSize = 5000;
constexpr uint32_t kMaxStartDirectory = 260;
constexpr int kTempPathSize = 256;
constexpr int kResourceStringSize = 100;
constexpr uint32_t kFirstPollWaitMs = 1000;
constexpr uint32_t kPollIntervalMs = 2000;
constexpr int kFirstPhaseFurtherQueries = 14;
constexpr int kSecondPhaseFurtherQueries = 60;
constexpr uint32_t kPauseMs = 5000;
constexpr uint32_t kNetworkPauseMs = 10000;
constexpr int64_t kMinimumFreeBytes = 50000000;
// The exit code by which the product script says another instance runs.
constexpr uint32_t kAnotherInstanceExitCode = 2;

extern const char kMessageTitle[];       // "Tarnwick Launcher Message"
extern const char kLaunchLogFileName[];  // "C:twklauncher.log"

// The launch log: lines go to the file opened by launcherMain, or nowhere.
class LaunchLog {
public:
    void attach(std::unique_ptr<ILogFile> file);
    void close();
    // Writes `prefix`, the number and a line break (CR LF, as a text-mode
    // stream writes it), then flushes.
    void writeLine(const char *prefix, uint32_t number);

private:
    std::unique_ptr<ILogFile> file;
};

// Process-wide launcher state.
extern StartLocation startLocation;
extern bool anotherInstanceRunning;
extern int32_t networkNoticeShown;
extern bool loggingEnabled;
extern LaunchLog launchLog;
extern char tempPath[kTempPathSize];
extern char windowTitle[kResourceStringSize];
extern char windowClassName[kResourceStringSize];
extern InstanceHandle instanceHandle;

// The services every function below uses; set before launcherMain runs.
extern ILauncherPlatform *platform;

// The launcher's entry, which the program's WinMain calls: switches the
// launch log on when its file exists, then runs the launch sequence. The
// previous instance and the command line are not used.
int launcherMain(InstanceHandle instance, InstanceHandle previousInstance, char *commandLine, int showCommand);
int runLauncher(InstanceHandle instance, int showCommand);

// Probes: 1 Server Core, 0 not, 2 the version query failed.
int isServerCoreEdition();
StartLocation classifyStartLocation();
StartLocation checkNetworkPrerequisites();

// The status window.
void registerStatusWindowClass(InstanceHandle instance);
bool createStatusWindow(InstanceHandle instance, int showCommand);
intptr_t statusWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Puts the process-wide state back as at process start (tests run many
// launches in one process).
void resetLauncherState();

}  // namespace launcher

#endif  // TARNWICK_LAUNCHER_LAUNCHER_H
