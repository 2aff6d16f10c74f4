// The scripted Windows machine of the launcher tests.
#include "tests/launcher/FakeLauncherPlatform.h"

#include <algorithm>
#include <cstring>

#include "launcher/Launcher.h"

namespace tarnwick_test {
namespace {

// Copies `text` as the "A" functions do: the whole text and its zero when it
// fits, reporting its length; otherwise nothing, reporting the size needed.
uint32_t copyOut(const std::string &text, char *buffer, uint32_t bufferSize) {
    const auto length = static_cast<uint32_t>(text.size());
    if (length + 1 > bufferSize) {
        return length + 1;
    }
    std::memcpy(buffer, text.c_str(), length + 1);
    return length;
}

}  // namespace

class FakeLogFile : public launcher::ILogFile {
public:
    FakeLogFile(FakeLauncherPlatform &owner, bool forWriting) : platform(owner), writing(forWriting) {}
    ~FakeLogFile() override { platform.logEvents.push_back(writing ? "close write" : "close read"); }
    void write(const char *bytes, std::size_t count) override {
        if (writing) {
            platform.logContents.append(bytes, count);
        }
    }

private:
    FakeLauncherPlatform &platform;
    bool writing;
};

FakeLauncherPlatform::FakeLauncherPlatform() = default;
FakeLauncherPlatform::~FakeLauncherPlatform() = default;

std::size_t FakeLauncherPlatform::callCount(const std::string &name) const {
    return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), name));
}

launcher::WindowHandle FakeLauncherPlatform::windowHandle(int number) {
    // Handles are opaque tokens; these never point anywhere.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    return reinterpret_cast<launcher::WindowHandle>(static_cast<uintptr_t>(number) * 0x100);
}

uint32_t FakeLauncherPlatform::getCurrentDirectory(uint32_t bufferSize, char *buffer) {
    calls.push_back("GetCurrentDirectoryA");
    return copyOut(currentDirectory, buffer, bufferSize);
}

uint32_t FakeLauncherPlatform::getFullPathName(const char *fileName, uint32_t bufferSize, char *buffer) {
    calls.push_back("GetFullPathNameA");
    return copyOut(currentDirectory + "\\" + fileName, buffer, bufferSize);
}

bool FakeLauncherPlatform::createProcess(char *commandLine, bool inheritHandles, uint32_t creationFlags,
                                         const launcher::StartDescription &startup,
                                         launcher::ProcessInformation *process) {
    calls.push_back("CreateProcessA");
    processStarts.push_back({commandLine, inheritHandles, creationFlags, startup.flags, startup.showWindow,
                             startup.title != nullptr ? startup.title : ""});
    if (processStartFails) {
        return false;
    }
    process->process = &processToken;
    return true;
}

uint32_t FakeLauncherPlatform::waitForSingleObject(launcher::Handle object, uint32_t milliseconds) {
    calls.push_back("WaitForSingleObject");
    waits.push_back(milliseconds);
    if (object == &processToken) {
        clockMs = std::max<uint64_t>(clockMs, scriptRunsForMs);
    }
    return 0;
}

bool FakeLauncherPlatform::getExitCodeProcess(launcher::Handle process, uint32_t *exitCode) {
    calls.push_back("GetExitCodeProcess");
    exitCodeQueryTimes.push_back(clockMs);
    if (process != &processToken || exitCodeQueryFails) {
        return false;  // the code is left as it was
    }
    *exitCode = clockMs < scriptRunsForMs ? launcher::kStillActive : scriptExitCode;
    return true;
}

void FakeLauncherPlatform::sleep(uint32_t milliseconds) {
    calls.push_back("Sleep");
    sleeps.push_back(milliseconds);
    clockMs += milliseconds;
}

void FakeLauncherPlatform::exitProcess(int exitCode) {
    calls.push_back("exit");
    throw ProcessExit{exitCode};
}

bool FakeLauncherPlatform::getVersionEx(launcher::VersionInformation *version) {
    calls.push_back("GetVersionExA");
    versionRecordSizes.push_back(version->size);
    const bool longRecord = version->size == 156;
    if ((longRecord && longVersionRecordFails) || (!longRecord && shortVersionRecordFails)) {
        return false;
    }
    version->majorVersion = 6;
    version->minorVersion = 3;
    version->buildNumber = 9600;
    version->servicePackMajor = longRecord ? servicePackMajor : 0;
    version->servicePackMinor = 0;
    return true;
}

launcher::Module FakeLauncherPlatform::getModuleHandle(const char *moduleName) {
    calls.push_back(std::string("GetModuleHandleA ") + moduleName);
    return std::string(moduleName) == "kernel32" ? &kernel32Token : nullptr;
}

launcher::Function FakeLauncherPlatform::getProcAddress(launcher::Module module, const char *functionName) {
    calls.push_back(std::string("GetProcAddress ") + functionName);
    if (module == &kernel32Token && hasGetProductInfo && std::string(functionName) == "GetProductInfo") {
        return &getProductInfoToken;
    }
    return nullptr;
}

bool FakeLauncherPlatform::getProductInfo(launcher::Function function, uint32_t majorVersion, uint32_t minorVersion,
                                          uint32_t servicePackMajorVersion, uint32_t, uint32_t *type) {
    calls.push_back("GetProductInfo");
    if (function != &getProductInfoToken || majorVersion != 6 || minorVersion != 3 ||
        servicePackMajorVersion != (versionRecordSizes.back() == 156 ? servicePackMajor : 0)) {
        return false;
    }
    *type = productType;
    return true;
}

void FakeLauncherPlatform::splitPath(const char *path, char *drive, char *directory, char *fileName, char *extension) {
    calls.push_back("_splitpath");
    // _splitpath: "X:" when the path has one, then the directory up to its
    // last separator, then the last component split at its last dot.
    std::string rest = path;
    std::string drivePart;
    if (rest.size() >= 2 && rest[1] == ':') {
        drivePart = rest.substr(0, 2);
        rest = rest.substr(2);
    }
    const std::size_t lastSeparator = rest.find_last_of("\\/");
    const std::string directoryPart = lastSeparator == std::string::npos ? "" : rest.substr(0, lastSeparator + 1);
    const std::string last = lastSeparator == std::string::npos ? rest : rest.substr(lastSeparator + 1);
    const std::size_t dot = last.find_last_of('.');
    // Each part's buffer holds the whole path (see the interface).
    const auto copyPart = [](const std::string &part, char *out) { out[part.copy(out, part.size())] = '\0'; };
    copyPart(drivePart, drive);
    copyPart(directoryPart, directory);
    copyPart(last.substr(0, dot), fileName);
    copyPart(dot == std::string::npos ? std::string() : last.substr(dot), extension);
}

uint32_t FakeLauncherPlatform::getDriveType(const char *rootPathName) {
    calls.push_back("GetDriveTypeA");
    driveTypeQueries.push_back(rootPathName);
    const auto found = driveTypes.find(rootPathName);
    return found != driveTypes.end() ? found->second : 3;  // DRIVE_FIXED
}

uint32_t FakeLauncherPlatform::getEnvironmentVariable(const char *name, char *buffer, uint32_t bufferSize) {
    calls.push_back(std::string("GetEnvironmentVariableA ") + name);
    const auto found = environment.find(name);
    if (found == environment.end()) {
        return 0;  // unset: the buffer is untouched
    }
    return copyOut(found->second, buffer, bufferSize);
}

bool FakeLauncherPlatform::getDiskFreeSpaceEx(const char *directory, uint64_t *freeBytesAvailable, uint64_t *totalBytes,
                                              uint64_t *totalFreeBytes) {
    calls.push_back("GetDiskFreeSpaceExA");
    freeSpaceQueries.push_back(directory);
    const auto found = freeBytes.find(directory);
    if (found == freeBytes.end()) {
        return false;
    }
    *freeBytesAvailable = 0;  // a quota: what the launcher must not use
    *totalBytes = found->second * 2;
    *totalFreeBytes = found->second;
    return true;
}

std::unique_ptr<launcher::ILogFile> FakeLauncherPlatform::openLogForReading(const char *fileName) {
    calls.push_back(std::string("open log for reading ") + fileName);
    if (!logFileExists) {
        return nullptr;
    }
    logEvents.push_back("open read");
    return std::make_unique<FakeLogFile>(*this, false);
}

std::unique_ptr<launcher::ILogFile> FakeLauncherPlatform::openLogForWriting(const char *fileName) {
    calls.push_back(std::string("open log for writing ") + fileName);
    if (logOpenForWritingFails) {
        return nullptr;
    }
    logEvents.push_back("open write");
    logContents.clear();  // emptied
    return std::make_unique<FakeLogFile>(*this, true);
}

int FakeLauncherPlatform::messageBox(launcher::WindowHandle, const char *text, const char *title, uint32_t flags) {
    calls.push_back("MessageBoxA");
    messageBoxes.push_back({text, title, flags});
    return 1;  // IDOK
}

int FakeLauncherPlatform::loadString(launcher::InstanceHandle, uint32_t id, char *buffer, int bufferSize) {
    calls.push_back("LoadStringA " + std::to_string(id));
    stringsLoaded.push_back(id);
    static const std::map<uint32_t, std::string> strings = {
        {103, "Tarnwick Launcher"}, {104, "Initializing Tarnwick ..."}, {109, "TWKLAUNCHER"}};
    const auto found = strings.find(id);
    if (found == strings.end() || bufferSize <= 0) {
        return 0;
    }
    const std::string text = found->second.substr(0, static_cast<std::size_t>(bufferSize - 1));
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<int>(text.size());
}

launcher::ObjectHandle FakeLauncherPlatform::loadAccelerators(launcher::InstanceHandle, uint32_t id) {
    calls.push_back("LoadAcceleratorsA " + std::to_string(id));
    return &acceleratorToken;
}

int FakeLauncherPlatform::getMessage(launcher::Message *message, launcher::WindowHandle, uint32_t, uint32_t) {
    calls.push_back("GetMessageA");
    ++messagesFetched;
    if (messages.empty()) {
        // What a headless display delivers first: the pointer moving in.
        *message = {windowHandle(1), 0x0200 /* WM_MOUSEMOVE */, 0, 0};
    } else {
        *message = messages.front();
        messages.pop_front();
    }
    return message->message == 0x0012 /* WM_QUIT */ ? 0 : 1;
}

int FakeLauncherPlatform::translateAccelerator(launcher::WindowHandle, launcher::ObjectHandle table,
                                               launcher::Message *) {
    calls.push_back("TranslateAcceleratorA");
    return table == &acceleratorToken ? acceleratorResult : 0;
}

bool FakeLauncherPlatform::translateMessage(const launcher::Message *) {
    calls.push_back("TranslateMessage");
    ++messagesTranslated;
    return true;
}

intptr_t FakeLauncherPlatform::dispatchMessage(const launcher::Message *message) {
    calls.push_back("DispatchMessageA");
    ++messagesDispatched;
    if (windowClass.procedure == nullptr || message->window == nullptr) {
        return 0;
    }
    return windowClass.procedure(message->window, message->message, message->wParam, message->lParam);
}

launcher::ObjectHandle FakeLauncherPlatform::loadIcon(launcher::InstanceHandle, uint32_t id) {
    calls.push_back("LoadIconA " + std::to_string(id));
    return id == launcher::kIconGroup ? &iconToken : nullptr;
}

launcher::ObjectHandle FakeLauncherPlatform::loadCursor(launcher::InstanceHandle instance, uint32_t id) {
    calls.push_back("LoadCursorA " + std::to_string(id));
    return instance == nullptr && id == launcher::kIdcArrow ? &cursorToken : nullptr;
}

launcher::ObjectHandle FakeLauncherPlatform::getStockObject(int object) {
    calls.push_back("GetStockObject " + std::to_string(object));
    return object == launcher::kWhiteBrush ? &brushToken : nullptr;
}

uint16_t FakeLauncherPlatform::registerClassEx(const launcher::WindowClass &registered) {
    calls.push_back("RegisterClassExA");
    windowClass = registered;
    registeredClassName = registered.className != nullptr ? registered.className : "";
    ++classesRegistered;
    return 0xC000;
}

launcher::WindowHandle FakeLauncherPlatform::createWindowEx(uint32_t extendedStyle, const char *className,
                                                            const char *title, uint32_t style, int x, int y, int width,
                                                            int height, launcher::WindowHandle parent,
                                                            launcher::ObjectHandle menu, launcher::InstanceHandle,
                                                            void *) {
    calls.push_back("CreateWindowExA");
    const int number = static_cast<int>(windows.size()) + 1;
    windows.push_back(
        {extendedStyle, className, title, style, x, y, width, height, parent != nullptr || menu != nullptr});
    if (number == failWindowCreation || std::string(className) != registeredClassName) {
        return nullptr;
    }
    return windowHandle(number);
}

bool FakeLauncherPlatform::showWindow(launcher::WindowHandle, int showCommand) {
    calls.push_back("ShowWindow");
    showCommands.push_back(showCommand);
    return false;
}

bool FakeLauncherPlatform::updateWindow(launcher::WindowHandle window) {
    calls.push_back("UpdateWindow");
    // The window procedure paints at once, inside this call.
    windowClass.procedure(window, launcher::kWmPaint, 0, 0);
    return true;
}

intptr_t FakeLauncherPlatform::defWindowProc(launcher::WindowHandle, uint32_t message, uintptr_t, intptr_t) {
    calls.push_back("DefWindowProcA");
    defaultHandled.push_back(message);
    return 0;
}

void FakeLauncherPlatform::postQuitMessage(int exitCode) {
    calls.push_back("PostQuitMessage");
    quitMessages.push_back(exitCode);
}

launcher::DeviceContext FakeLauncherPlatform::beginPaint(launcher::WindowHandle window, launcher::PaintRecord *paint) {
    calls.push_back("BeginPaint");
    paintingWindow = static_cast<int>(reinterpret_cast<uintptr_t>(window) / 0x100);
    paint->deviceContext = window;
    selectedObject = &defaultFontToken;
    return window;
}

bool FakeLauncherPlatform::endPaint(launcher::WindowHandle, const launcher::PaintRecord *) {
    calls.push_back("EndPaint");
    paintingWindow = 0;
    return true;
}

bool FakeLauncherPlatform::getClientRect(launcher::WindowHandle window, launcher::Rectangle *rectangle) {
    calls.push_back("GetClientRect");
    const std::size_t number = reinterpret_cast<uintptr_t>(window) / 0x100;
    if (number == 0 || number > windows.size()) {
        return false;
    }
    // A caption and thin borders take their share of the window.
    *rectangle = {0, 0, windows[number - 1].width - 6, windows[number - 1].height - 25};
    return true;
}

launcher::ObjectHandle FakeLauncherPlatform::createFont(int height, int width, int escapement, int orientation,
                                                        int weight, bool italic, bool underline, bool strikeOut,
                                                        uint32_t charSet, uint32_t outputPrecision,
                                                        uint32_t clipPrecision, uint32_t quality,
                                                        uint32_t pitchAndFamily, const char *faceName) {
    calls.push_back("CreateFontA");
    fonts.push_back({height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                     outputPrecision, clipPrecision, quality, pitchAndFamily, faceName});
    fontTokens.push_back(std::make_unique<char>(0));
    return fontTokens.back().get();
}

launcher::ObjectHandle FakeLauncherPlatform::selectObject(launcher::DeviceContext, launcher::ObjectHandle object) {
    calls.push_back("SelectObject");
    launcher::ObjectHandle previous = selectedObject;
    selectedObject = object;
    return previous;
}

bool FakeLauncherPlatform::deleteObject(launcher::ObjectHandle object) {
    calls.push_back("DeleteObject");
    ++fontsDeleted;
    if (object == selectedObject) {
        ++fontsDeletedWhileSelected;
        return false;  // Windows refuses to delete a selected object
    }
    return true;
}

uint32_t FakeLauncherPlatform::setBkColor(launcher::DeviceContext, uint32_t color) {
    calls.push_back("SetBkColor");
    backgroundColours.push_back(color);
    return 0x00FFFFFF;
}

bool FakeLauncherPlatform::extTextOut(launcher::DeviceContext, int x, int y, uint32_t options,
                                      const launcher::Rectangle *rectangle, const char *text, uint32_t length) {
    calls.push_back("ExtTextOutA");
    lines.push_back({paintingWindow, x, y, options, rectangle != nullptr ? *rectangle : launcher::Rectangle{},
                     std::string(text, length)});
    return true;
}

}  // namespace tarnwick_test
