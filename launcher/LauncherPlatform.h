// The Windows services the launcher relies on, as one small interface: the
// real one calls the single-byte ("A") Windows functions, tests play a
// scripted machine. Types mirror the Windows records as far as the launcher
// uses them.
#ifndef TARNWICK_LAUNCHER_LAUNCHERPLATFORM_H
#define TARNWICK_LAUNCHER_LAUNCHERPLATFORM_H

#include <cstddef>
#include <cstdint>
#include <memory>

namespace launcher {

using Handle = void *;
using InstanceHandle = void *;
using WindowHandle = void *;
using ObjectHandle = void *;  // GDI objects, icons, cursors, menus, accelerator tables
using DeviceContext = void *;
using Module = void *;
using Function = void *;

// Window procedure: window, message, wParam, lParam; result LRESULT.
using WindowProcedure = intptr_t (*)(WindowHandle, uint32_t, uintptr_t, intptr_t);

// The fields of STARTUPINFOA that the launcher sets.
struct StartDescription {
    uint32_t flags = 0;           // dwFlags
    uint16_t showWindow = 0;      // wShowWindow
    const char *title = nullptr;  // lpTitle
};

// PROCESS_INFORMATION.
struct ProcessInformation {
    Handle process = nullptr;
    Handle thread = nullptr;
    uint32_t processId = 0;
    uint32_t threadId = 0;
};

// MSG, without time and point.
struct Message {
    WindowHandle window = nullptr;
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

// RECT.
struct Rectangle {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// OSVERSIONINFOEXA as far as the probes read it; `size` is the record size
// the caller announces (156 for the long record, 148 for the short one).
struct VersionInformation {
    uint32_t size = 0;
    uint32_t majorVersion = 0;
    uint32_t minorVersion = 0;
    uint32_t buildNumber = 0;
    uint16_t servicePackMajor = 0;  // zero when only the short record was filled
    uint16_t servicePackMinor = 0;
};

// WNDCLASSEXA.
struct WindowClass {
    uint32_t style = 0;
    WindowProcedure procedure = nullptr;
    int32_t classExtra = 0;
    int32_t windowExtra = 0;
    InstanceHandle instance = nullptr;
    ObjectHandle icon = nullptr;
    ObjectHandle cursor = nullptr;
    ObjectHandle background = nullptr;
    const char *menuName = nullptr;
    const char *className = nullptr;
    ObjectHandle smallIcon = nullptr;
};

// The paint record between BeginPaint and EndPaint; opaque to the launcher.
struct PaintRecord {
    DeviceContext deviceContext = nullptr;
    alignas(8) unsigned char reserved[96] = {};
};

// An open file of the launch log; closed when destroyed.
class ILogFile {
public:
    virtual ~ILogFile();
    // Writes the bytes as they are and flushes them to the file.
    virtual void write(const char *bytes, std::size_t count) = 0;
};

class ILauncherPlatform {
public:
    virtual ~ILauncherPlatform();

    // Kernel services (launch sequence and probes).
    virtual uint32_t getCurrentDirectory(uint32_t bufferSize, char *buffer) = 0;
    virtual uint32_t getFullPathName(const char *fileName, uint32_t bufferSize, char *buffer) = 0;
    virtual bool createProcess(char *commandLine, bool inheritHandles, uint32_t creationFlags,
                               const StartDescription &startup, ProcessInformation *process) = 0;
    virtual uint32_t waitForSingleObject(Handle object, uint32_t milliseconds) = 0;
    virtual bool getExitCodeProcess(Handle process, uint32_t *exitCode) = 0;
    virtual void sleep(uint32_t milliseconds) = 0;
    // Ends the process as exit() does: static objects are destroyed.
    [[noreturn]] virtual void exitProcess(int exitCode) = 0;
    virtual bool getVersionEx(VersionInformation *version) = 0;
    virtual Module getModuleHandle(const char *moduleName) = 0;
    virtual Function getProcAddress(Module module, const char *functionName) = 0;
    virtual bool getProductInfo(Function function, uint32_t majorVersion, uint32_t minorVersion,
                                uint32_t servicePackMajor, uint32_t servicePackMinor, uint32_t *productType) = 0;
    // _splitpath: each part's buffer must hold the whole path.
    virtual void splitPath(const char *path, char *drive, char *directory, char *fileName, char *extension) = 0;
    virtual uint32_t getDriveType(const char *rootPathName) = 0;
    virtual uint32_t getEnvironmentVariable(const char *name, char *buffer, uint32_t bufferSize) = 0;
    virtual bool getDiskFreeSpaceEx(const char *directory, uint64_t *freeBytesAvailable, uint64_t *totalBytes,
                                    uint64_t *totalFreeBytes) = 0;
    // The launch log: null when the file cannot be opened. Both opens allow
    // sharing; opening for writing empties the file.
    virtual std::unique_ptr<ILogFile> openLogForReading(const char *fileName) = 0;
    virtual std::unique_ptr<ILogFile> openLogForWriting(const char *fileName) = 0;

    // User interface services.
    virtual int messageBox(WindowHandle owner, const char *text, const char *title, uint32_t flags) = 0;
    virtual int loadString(InstanceHandle instance, uint32_t id, char *buffer, int bufferSize) = 0;
    virtual ObjectHandle loadAccelerators(InstanceHandle instance, uint32_t id) = 0;
    virtual int getMessage(Message *message, WindowHandle window, uint32_t filterMin, uint32_t filterMax) = 0;
    virtual int translateAccelerator(WindowHandle window, ObjectHandle acceleratorTable, Message *message) = 0;
    virtual bool translateMessage(const Message *message) = 0;
    virtual intptr_t dispatchMessage(const Message *message) = 0;
    virtual ObjectHandle loadIcon(InstanceHandle instance, uint32_t id) = 0;
    virtual ObjectHandle loadCursor(InstanceHandle instance, uint32_t id) = 0;
    virtual ObjectHandle getStockObject(int object) = 0;
    virtual uint16_t registerClassEx(const WindowClass &windowClass) = 0;
    virtual WindowHandle createWindowEx(uint32_t extendedStyle, const char *className, const char *title,
                                        uint32_t style, int x, int y, int width, int height, WindowHandle parent,
                                        ObjectHandle menu, InstanceHandle instance, void *creationData) = 0;
    virtual bool showWindow(WindowHandle window, int showCommand) = 0;
    virtual bool updateWindow(WindowHandle window) = 0;
    virtual intptr_t defWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    virtual void postQuitMessage(int exitCode) = 0;

    // Graphics services.
    virtual DeviceContext beginPaint(WindowHandle window, PaintRecord *paint) = 0;
    virtual bool endPaint(WindowHandle window, const PaintRecord *paint) = 0;
    virtual bool getClientRect(WindowHandle window, Rectangle *rectangle) = 0;
    virtual ObjectHandle createFont(int height, int width, int escapement, int orientation, int weight, bool italic,
                                    bool underline, bool strikeOut, uint32_t charSet, uint32_t outputPrecision,
                                    uint32_t clipPrecision, uint32_t quality, uint32_t pitchAndFamily,
                                    const char *faceName) = 0;
    virtual ObjectHandle selectObject(DeviceContext deviceContext, ObjectHandle object) = 0;
    virtual bool deleteObject(ObjectHandle object) = 0;
    virtual uint32_t setBkColor(DeviceContext deviceContext, uint32_t color) = 0;
    virtual bool extTextOut(DeviceContext deviceContext, int x, int y, uint32_t options, const Rectangle *rectangle,
                            const char *text, uint32_t length) = 0;
};

// The running Windows system's services; exists only in Windows builds.
ILauncherPlatform &windowsLauncherPlatform();

}  // namespace launcher

#endif  // TARNWICK_LAUNCHER_LAUNCHERPLATFORM_H
