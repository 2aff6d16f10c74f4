// A scripted Windows machine for the launcher: current directory, drive
// types, environment, free space, version and product type, a script whose
// exit code changes over (virtual) time, window creation; it records every
// call the launcher makes.
#ifndef TARNWICK_TESTS_LAUNCHER_FAKELAUNCHERPLATFORM_H
#define TARNWICK_TESTS_LAUNCHER_FAKELAUNCHERPLATFORM_H

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "launcher/LauncherPlatform.h"

namespace tarnwick_test {

// Thrown by the fake's exitProcess, which must not return.
struct ProcessExit {
    int code;
};

class FakeLauncherPlatform : public launcher::ILauncherPlatform {
public:
    struct MessageBoxCall {
        std::string text;
        std::string title;
        uint32_t flags;
    };
    struct ProcessStart {
        std::string commandLine;
        bool inheritHandles;
        uint32_t creationFlags;
        uint32_t startupFlags;
        uint16_t showWindow;
        std::string title;  // "" when none was given
    };
    struct WindowCreation {
        uint32_t extendedStyle;
        std::string className;
        std::string title;
        uint32_t style;
        int x, y, width, height;
        bool parentOrMenu;
    };
    struct TextLine {
        int window;  // 1 for the first window created, 2 for the second
        int x, y;
        uint32_t options;
        launcher::Rectangle rectangle;
        std::string text;
    };
    struct FontCreation {
        int height, width, escapement, orientation, weight;
        bool italic, underline, strikeOut;
        uint32_t charSet, outputPrecision, clipPrecision, quality, pitchAndFamily;
        std::string faceName;
    };

    FakeLauncherPlatform();
    ~FakeLauncherPlatform() override;

    // --- The machine. ---
    std::string currentDirectory = "C:\\work\\app";
    std::map<std::string, uint32_t> driveTypes;  // by the drive part; 3 (fixed) when absent
    std::map<std::string, std::string> environment = {{"SYSTEMDRIVE", "C:"}, {"TEMP", "C:\\Temp"}};
    std::map<std::string, uint64_t> freeBytes = {{"C:", 80000000000ull}};  // no entry: the query fails
    bool longVersionRecordFails = false;
    bool shortVersionRecordFails = false;
    bool hasGetProductInfo = true;
    uint32_t productType = 7;  // PRODUCT_STANDARD_SERVER
    uint16_t servicePackMajor = 1;
    bool processStartFails = false;
    bool exitCodeQueryFails = false;  // the process runs, but asking for its code fails
    uint32_t scriptRunsForMs = 0;     // the script ends at this virtual time
    uint32_t scriptExitCode = 0;
    bool logFileExists = false;
    bool logOpenForWritingFails = false;
    int failWindowCreation = 0;              // 1: the first window fails, 2: the second
    std::deque<launcher::Message> messages;  // what GetMessage fetches; a mouse move when empty
    int acceleratorResult = 0;

    // --- What the launcher did. ---
    uint64_t clockMs = 0;
    std::vector<std::string> calls;
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<ProcessStart> processStarts;
    std::vector<uint32_t> waits;
    std::vector<uint32_t> sleeps;
    std::vector<uint64_t> exitCodeQueryTimes;
    std::vector<uint32_t> versionRecordSizes;
    std::vector<std::string> driveTypeQueries;
    std::vector<std::string> freeSpaceQueries;
    std::vector<std::string> logEvents;  // "open read", "close read", "open write", "close write"
    std::string logContents;
    std::vector<uint32_t> stringsLoaded;
    launcher::WindowClass windowClass{};
    std::string registeredClassName;
    int classesRegistered = 0;
    std::vector<WindowCreation> windows;
    std::vector<int> showCommands;
    std::vector<FontCreation> fonts;
    std::vector<uint32_t> backgroundColours;
    std::vector<TextLine> lines;
    int fontsDeletedWhileSelected = 0;
    int fontsDeleted = 0;
    std::vector<uint32_t> defaultHandled;  // messages passed to DefWindowProc
    std::vector<int> quitMessages;
    int messagesFetched = 0;
    int messagesTranslated = 0;
    int messagesDispatched = 0;

    std::size_t callCount(const std::string &name) const;

    // Window handles are 1-based window numbers, as pointers.
    static launcher::WindowHandle windowHandle(int number);

    uint32_t getCurrentDirectory(uint32_t bufferSize, char *buffer) override;
    uint32_t getFullPathName(const char *fileName, uint32_t bufferSize, char *buffer) override;
    bool createProcess(char *commandLine, bool inheritHandles, uint32_t creationFlags,
                       const launcher::StartDescription &startup, launcher::ProcessInformation *process) override;
    uint32_t waitForSingleObject(launcher::Handle object, uint32_t milliseconds) override;
    bool getExitCodeProcess(launcher::Handle process, uint32_t *exitCode) override;
    void sleep(uint32_t milliseconds) override;
    [[noreturn]] void exitProcess(int exitCode) override;
    bool getVersionEx(launcher::VersionInformation *version) override;
    launcher::Module getModuleHandle(const char *moduleName) override;
    launcher::Function getProcAddress(launcher::Module module, const char *functionName) override;
    bool getProductInfo(launcher::Function function, uint32_t majorVersion, uint32_t minorVersion,
                        uint32_t servicePackMajorVersion, uint32_t servicePackMinorVersion, uint32_t *type) override;
    void splitPath(const char *path, char *drive, char *directory, char *fileName, char *extension) override;
    uint32_t getDriveType(const char *rootPathName) override;
    uint32_t getEnvironmentVariable(const char *name, char *buffer, uint32_t bufferSize) override;
    bool getDiskFreeSpaceEx(const char *directory, uint64_t *freeBytesAvailable, uint64_t *totalBytes,
                            uint64_t *totalFreeBytes) override;
    std::unique_ptr<launcher::ILogFile> openLogForReading(const char *fileName) override;
    std::unique_ptr<launcher::ILogFile> openLogForWriting(const char *fileName) override;
    int messageBox(launcher::WindowHandle owner, const char *text, const char *title, uint32_t flags) override;
    int loadString(launcher::InstanceHandle instance, uint32_t id, char *buffer, int bufferSize) override;
    launcher::ObjectHandle loadAccelerators(launcher::InstanceHandle instance, uint32_t id) override;
    int getMessage(launcher::Message *message, launcher::WindowHandle window, uint32_t filterMin,
                   uint32_t filterMax) override;
    int translateAccelerator(launcher::WindowHandle window, launcher::ObjectHandle acceleratorTable,
                             launcher::Message *message) override;
    bool translateMessage(const launcher::Message *message) override;
    intptr_t dispatchMessage(const launcher::Message *message) override;
    launcher::ObjectHandle loadIcon(launcher::InstanceHandle instance, uint32_t id) override;
    launcher::ObjectHandle loadCursor(launcher::InstanceHandle instance, uint32_t id) override;
    launcher::ObjectHandle getStockObject(int object) override;
    uint16_t registerClassEx(const launcher::WindowClass &registered) override;
    launcher::WindowHandle createWindowEx(uint32_t extendedStyle, const char *className, const char *title,
                                          uint32_t style, int x, int y, int width, int height,
                                          launcher::WindowHandle parent, launcher::ObjectHandle menu,
                                          launcher::InstanceHandle instance, void *creationData) override;
    bool showWindow(launcher::WindowHandle window, int showCommand) override;
    bool updateWindow(launcher::WindowHandle window) override;
    intptr_t defWindowProc(launcher::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    void postQuitMessage(int exitCode) override;
    launcher::DeviceContext beginPaint(launcher::WindowHandle window, launcher::PaintRecord *paint) override;
    bool endPaint(launcher::WindowHandle window, const launcher::PaintRecord *paint) override;
    bool getClientRect(launcher::WindowHandle window, launcher::Rectangle *rectangle) override;
    launcher::ObjectHandle createFont(int height, int width, int escapement, int orientation, int weight, bool italic,
                                      bool underline, bool strikeOut, uint32_t charSet, uint32_t outputPrecision,
                                      uint32_t clipPrecision, uint32_t quality, uint32_t pitchAndFamily,
                                      const char *faceName) override;
    launcher::ObjectHandle selectObject(launcher::DeviceContext deviceContext, launcher::ObjectHandle object) override;
    bool deleteObject(launcher::ObjectHandle object) override;
    uint32_t setBkColor(launcher::DeviceContext deviceContext, uint32_t color) override;
    bool extTextOut(launcher::DeviceContext deviceContext, int x, int y, uint32_t options,
                    const launcher::Rectangle *rectangle, const char *text, uint32_t length) override;

private:
    friend class FakeLogFile;

    char kernel32Token = 0;
    char getProductInfoToken = 0;
    char processToken = 0;
    char acceleratorToken = 0;
    char iconToken = 0;
    char cursorToken = 0;
    char brushToken = 0;
    char defaultFontToken = 0;
    std::vector<std::unique_ptr<char>> fontTokens;
    launcher::ObjectHandle selectedObject = nullptr;
    int paintingWindow = 0;
};

}  // namespace tarnwick_test

#endif  // TARNWICK_TESTS_LAUNCHER_FAKELAUNCHERPLATFORM_H
