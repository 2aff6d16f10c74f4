// The launcher's services on Windows: the single-byte ("A") functions of
// kernel32, user32 and gdi32, and the C run-time's _splitpath and exit.
#include "launcher/LauncherPlatform.h"

#include <cstdlib>

#include "launcher/Launcher.h"
#include "platform/WindowsApi.h"

namespace launcher {
namespace {

// The portable code spells these Windows values itself, so that it builds
// and is tested without <windows.h>; here they are held to the real ones.
static_assert(kStillActive == STILL_ACTIVE, "STILL_ACTIVE");
static_assert(kStartfUseShowWindow == STARTF_USESHOWWINDOW, "STARTF_USESHOWWINDOW");
static_assert(kSwHide == SW_HIDE && kSwShow == SW_SHOW, "SW_HIDE, SW_SHOW");
static_assert(kCreateNewConsole == CREATE_NEW_CONSOLE, "CREATE_NEW_CONSOLE");
static_assert(kInfinite == INFINITE, "INFINITE");
static_assert(kMbOk == MB_OK && kMbIconError == MB_ICONERROR, "MB_OK, MB_ICONERROR");
static_assert(kDriveUnknown == DRIVE_UNKNOWN && kDriveNoRootDir == DRIVE_NO_ROOT_DIR && kDriveRemote == DRIVE_REMOTE,
              "DRIVE_UNKNOWN, DRIVE_NO_ROOT_DIR, DRIVE_REMOTE");
static_assert(kWmDestroy == WM_DESTROY && kWmPaint == WM_PAINT, "WM_DESTROY, WM_PAINT");
static_assert(kEtoOpaque == ETO_OPAQUE && kEtoClipped == ETO_CLIPPED, "ETO_OPAQUE, ETO_CLIPPED");
static_assert(kStatusWindowClassStyle == (CS_VREDRAW | CS_HREDRAW | CS_OWNDC), "the status window's class style");
static_assert(kWsOverlapped == WS_OVERLAPPED, "WS_OVERLAPPED");
static_assert(kWhiteBrush == WHITE_BRUSH, "WHITE_BRUSH");
static_assert(kStatusBackground == RGB(218, 235, 252), "the status window's background");
// (IDC_ARROW is a resource name made from its number by a cast, which no
// constant expression can undo: kIdcArrow stays unchecked.)

// The window procedure the launcher registered; Windows calls it through
// the trampoline below with its own calling convention.
WindowProcedure registeredProcedure = nullptr;

LRESULT CALLBACK windowProcedureTrampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (registeredProcedure == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return registeredProcedure(window, message, wParam, lParam);
}

class LogFileImpl final : public ILogFile {
public:
    explicit LogFileImpl(HANDLE openFile) : file(openFile) {}
    ~LogFileImpl() override { CloseHandle(file); }
    LogFileImpl(const LogFileImpl &) = delete;
    LogFileImpl &operator=(const LogFileImpl &) = delete;

    void write(const char *bytes, std::size_t count) override {
        DWORD written = 0;
        WriteFile(file, bytes, static_cast<DWORD>(count), &written, nullptr);
        FlushFileBuffers(file);
    }

private:
    HANDLE file;
};

std::unique_ptr<ILogFile> openLog(const char *fileName, DWORD access, DWORD disposition) {
    const HANDLE file = CreateFileA(fileName, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<LogFileImpl>(file);
}

MSG toMsg(const Message &message) {
    MSG msg{};
    msg.hwnd = static_cast<HWND>(message.window);
    msg.message = message.message;
    msg.wParam = message.wParam;
    msg.lParam = message.lParam;
    return msg;
}

class LauncherPlatformImpl final : public ILauncherPlatform {
public:
    uint32_t getCurrentDirectory(uint32_t bufferSize, char *buffer) override {
        return GetCurrentDirectoryA(bufferSize, buffer);
    }

    uint32_t getFullPathName(const char *fileName, uint32_t bufferSize, char *buffer) override {
        return GetFullPathNameA(fileName, bufferSize, buffer, nullptr);
    }

    bool createProcess(char *commandLine, bool inheritHandles, uint32_t creationFlags, const StartDescription &startup,
                       ProcessInformation *process) override {
        STARTUPINFOA startupInfo{};
        startupInfo.cb = sizeof startupInfo;
        startupInfo.dwFlags = startup.flags;
        startupInfo.wShowWindow = startup.showWindow;
        startupInfo.lpTitle = const_cast<char *>(startup.title);
        PROCESS_INFORMATION information{};
        const BOOL started = CreateProcessA(nullptr, commandLine, nullptr, nullptr, inheritHandles ? TRUE : FALSE,
                                            creationFlags, nullptr, nullptr, &startupInfo, &information);
        process->process = information.hProcess;
        process->thread = information.hThread;
        process->processId = information.dwProcessId;
        process->threadId = information.dwThreadId;
        return started != FALSE;
    }

    uint32_t waitForSingleObject(Handle object, uint32_t milliseconds) override {
        return WaitForSingleObject(object, milliseconds);
    }

    bool getExitCodeProcess(Handle process, uint32_t *exitCode) override {
        DWORD code = 0;
        if (!GetExitCodeProcess(process, &code)) {
            return false;
        }
        *exitCode = code;
        return true;
    }

    void sleep(uint32_t milliseconds) override { Sleep(milliseconds); }

    [[noreturn]] void exitProcess(int exitCode) override { std::exit(exitCode); }

    bool getVersionEx(VersionInformation *version) override {
        OSVERSIONINFOEXA info{};
        info.dwOSVersionInfoSize = version->size;
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA *>(&info))) {
            return false;
        }
        version->majorVersion = info.dwMajorVersion;
        version->minorVersion = info.dwMinorVersion;
        version->buildNumber = info.dwBuildNumber;
        version->servicePackMajor = info.wServicePackMajor;
        version->servicePackMinor = info.wServicePackMinor;
        return true;
    }

    Module getModuleHandle(const char *moduleName) override { return GetModuleHandleA(moduleName); }

    Function getProcAddress(Module module, const char *functionName) override {
        return reinterpret_cast<Function>(GetProcAddress(static_cast<HMODULE>(module), functionName));
    }

    bool getProductInfo(Function function, uint32_t majorVersion, uint32_t minorVersion, uint32_t servicePackMajor,
                        uint32_t servicePackMinor, uint32_t *productType) override {
        using GetProductInfoFn = BOOL(WINAPI *)(DWORD, DWORD, DWORD, DWORD, PDWORD);
        DWORD type = 0;
        const BOOL result = reinterpret_cast<GetProductInfoFn>(function)(majorVersion, minorVersion, servicePackMajor,
                                                                         servicePackMinor, &type);
        *productType = type;
        return result != FALSE;
    }

    void splitPath(const char *path, char *drive, char *directory, char *fileName, char *extension) override {
        _splitpath(path, drive, directory, fileName, extension);
    }

    uint32_t getDriveType(const char *rootPathName) override { return GetDriveTypeA(rootPathName); }

    uint32_t getEnvironmentVariable(const char *name, char *buffer, uint32_t bufferSize) override {
        return GetEnvironmentVariableA(name, buffer, bufferSize);
    }

    bool getDiskFreeSpaceEx(const char *directory, uint64_t *freeBytesAvailable, uint64_t *totalBytes,
                            uint64_t *totalFreeBytes) override {
        ULARGE_INTEGER available{};
        ULARGE_INTEGER total{};
        ULARGE_INTEGER totalFree{};
        if (!GetDiskFreeSpaceExA(directory, &available, &total, &totalFree)) {
            return false;
        }
        *freeBytesAvailable = available.QuadPart;
        *totalBytes = total.QuadPart;
        *totalFreeBytes = totalFree.QuadPart;
        return true;
    }

    std::unique_ptr<ILogFile> openLogForReading(const char *fileName) override {
        return openLog(fileName, GENERIC_READ, OPEN_EXISTING);
    }

    std::unique_ptr<ILogFile> openLogForWriting(const char *fileName) override {
        return openLog(fileName, GENERIC_WRITE, CREATE_ALWAYS);
    }

    int messageBox(WindowHandle owner, const char *text, const char *title, uint32_t flags) override {
        return MessageBoxA(static_cast<HWND>(owner), text, title, flags);
    }

    int loadString(InstanceHandle instance, uint32_t id, char *buffer, int bufferSize) override {
        return LoadStringA(static_cast<HINSTANCE>(instance), id, buffer, bufferSize);
    }

    ObjectHandle loadAccelerators(InstanceHandle instance, uint32_t id) override {
        return LoadAcceleratorsA(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(id));
    }

    int getMessage(Message *message, WindowHandle window, uint32_t filterMin, uint32_t filterMax) override {
        MSG msg{};
        const BOOL result = GetMessageA(&msg, static_cast<HWND>(window), filterMin, filterMax);
        message->window = msg.hwnd;
        message->message = msg.message;
        message->wParam = msg.wParam;
        message->lParam = msg.lParam;
        return result;
    }

    int translateAccelerator(WindowHandle window, ObjectHandle acceleratorTable, Message *message) override {
        MSG msg = toMsg(*message);
        return TranslateAcceleratorA(static_cast<HWND>(window), static_cast<HACCEL>(acceleratorTable), &msg);
    }

    bool translateMessage(const Message *message) override {
        const MSG msg = toMsg(*message);
        return TranslateMessage(&msg) != FALSE;
    }

    intptr_t dispatchMessage(const Message *message) override {
        const MSG msg = toMsg(*message);
        return DispatchMessageA(&msg);
    }

    ObjectHandle loadIcon(InstanceHandle instance, uint32_t id) override {
        return LoadIconA(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(id));
    }

    ObjectHandle loadCursor(InstanceHandle instance, uint32_t id) override {
        return LoadCursorA(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(id));
    }

    ObjectHandle getStockObject(int object) override { return GetStockObject(object); }

    uint16_t registerClassEx(const WindowClass &windowClass) override {
        registeredProcedure = windowClass.procedure;
        WNDCLASSEXA registered{};
        registered.cbSize = sizeof registered;
        registered.style = windowClass.style;
        registered.lpfnWndProc = windowProcedureTrampoline;
        registered.cbClsExtra = windowClass.classExtra;
        registered.cbWndExtra = windowClass.windowExtra;
        registered.hInstance = static_cast<HINSTANCE>(windowClass.instance);
        registered.hIcon = static_cast<HICON>(windowClass.icon);
        registered.hCursor = static_cast<HCURSOR>(windowClass.cursor);
        registered.hbrBackground = static_cast<HBRUSH>(windowClass.background);
        registered.lpszMenuName = windowClass.menuName;
        registered.lpszClassName = windowClass.className;
        registered.hIconSm = static_cast<HICON>(windowClass.smallIcon);
        return RegisterClassExA(&registered);
    }

    WindowHandle createWindowEx(uint32_t extendedStyle, const char *className, const char *title, uint32_t style, int x,
                                int y, int width, int height, WindowHandle parent, ObjectHandle menu,
                                InstanceHandle instance, void *creationData) override {
        return CreateWindowExA(extendedStyle, className, title, style, x, y, width, height, static_cast<HWND>(parent),
                               static_cast<HMENU>(menu), static_cast<HINSTANCE>(instance), creationData);
    }

    bool showWindow(WindowHandle window, int showCommand) override {
        return ShowWindow(static_cast<HWND>(window), showCommand) != FALSE;
    }

    bool updateWindow(WindowHandle window) override { return UpdateWindow(static_cast<HWND>(window)) != FALSE; }

    intptr_t defWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        return DefWindowProcA(static_cast<HWND>(window), message, wParam, lParam);
    }

    void postQuitMessage(int exitCode) override { PostQuitMessage(exitCode); }

    DeviceContext beginPaint(WindowHandle window, PaintRecord *paint) override {
        static_assert(sizeof(PAINTSTRUCT) <= sizeof(PaintRecord::reserved), "PaintRecord holds a PAINTSTRUCT");
        auto *windowsPaint = reinterpret_cast<PAINTSTRUCT *>(paint->reserved);
        paint->deviceContext = BeginPaint(static_cast<HWND>(window), windowsPaint);
        return paint->deviceContext;
    }

    bool endPaint(WindowHandle window, const PaintRecord *paint) override {
        return EndPaint(static_cast<HWND>(window), reinterpret_cast<const PAINTSTRUCT *>(paint->reserved)) != FALSE;
    }

    bool getClientRect(WindowHandle window, Rectangle *rectangle) override {
        RECT client{};
        if (!GetClientRect(static_cast<HWND>(window), &client)) {
            return false;
        }
        rectangle->left = client.left;
        rectangle->top = client.top;
        rectangle->right = client.right;
        rectangle->bottom = client.bottom;
        return true;
    }

    ObjectHandle createFont(int height, int width, int escapement, int orientation, int weight, bool italic,
                            bool underline, bool strikeOut, uint32_t charSet, uint32_t outputPrecision,
                            uint32_t clipPrecision, uint32_t quality, uint32_t pitchAndFamily,
                            const char *faceName) override {
        return CreateFontA(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                           outputPrecision, clipPrecision, quality, pitchAndFamily, faceName);
    }

    ObjectHandle selectObject(DeviceContext deviceContext, ObjectHandle object) override {
        return SelectObject(static_cast<HDC>(deviceContext), static_cast<HGDIOBJ>(object));
    }

    bool deleteObject(ObjectHandle object) override { return DeleteObject(static_cast<HGDIOBJ>(object)) != FALSE; }

    uint32_t setBkColor(DeviceContext deviceContext, uint32_t color) override {
        return SetBkColor(static_cast<HDC>(deviceContext), color);
    }

    bool extTextOut(DeviceContext deviceContext, int x, int y, uint32_t options, const Rectangle *rectangle,
                    const char *text, uint32_t length) override {
        RECT clip{rectangle->left, rectangle->top, rectangle->right, rectangle->bottom};
        return ExtTextOutA(static_cast<HDC>(deviceContext), x, y, options, &clip, text, length, nullptr) != FALSE;
    }
};

}  // namespace

ILauncherPlatform &windowsLauncherPlatform() {
    static LauncherPlatformImpl platform;
    return platform;
}

}  // namespace launcher
