// The status window: its class, the window, and its one painting.
#include <cstdio>
#include <cstring>

#include "launcher/Launcher.h"

namespace launcher {
namespace {

constexpr int kLeftMargin = 10;
constexpr int kFontHeight = 15;
constexpr int kFontWeight = 400;
constexpr int kWidth = 500;
constexpr int kHeight = 100;
constexpr int kAnotherInstanceWidth = 550;
constexpr int kAnotherInstanceHeight = 120;

const char kAnotherInstance1[] = "Another instance of TWK is already running. Hence exiting the application.....";
const char kAnotherInstance2[] =
    "If you are sure, no other instance is currently running on this system, then please refer";
const char kAnotherInstance3[] = "\"Frequently Asked Questions\" section in the user guide on how to start TWK.";
const char kLocalDrive[] = "TWK is running from the Local Drive . . .";
const char kNetworkPath[] = "TWK is running from a Network Path . . .";
const char kTemporaryDirectory[] = "A temporary directory has been created at ";

void drawLine(DeviceContext deviceContext, int y, uint32_t option, const Rectangle &client, const char *text) {
    platform->extTextOut(deviceContext, kLeftMargin, y, option, &client, text,
                         static_cast<uint32_t>(std::strlen(text)));
}

void paintStatus(WindowHandle window, const char *status) {
    PaintRecord paint;
    const DeviceContext deviceContext = platform->beginPaint(window, &paint);
    const ObjectHandle font =
        platform->createFont(kFontHeight, 0, 0, 0, kFontWeight, false, false, false, 0, 0, 0, 0, 0, "Arial");
    const ObjectHandle previousFont = platform->selectObject(deviceContext, font);
    Rectangle client;
    platform->getClientRect(window, &client);
    platform->setBkColor(deviceContext, kStatusBackground);

    // The first line of each case is opaque over the whole client area, so it
    // paints the background too; the others are clipped to it.
    if (anotherInstanceRunning) {
        drawLine(deviceContext, 20, kEtoOpaque, client, kAnotherInstance1);
        drawLine(deviceContext, 40, kEtoClipped, client, kAnotherInstance2);
        drawLine(deviceContext, 60, kEtoClipped, client, kAnotherInstance3);
    } else if (startLocation == LocalDrive) {
        drawLine(deviceContext, 10, kEtoOpaque, client, kLocalDrive);
        drawLine(deviceContext, 30, kEtoClipped, client, status);
    } else if (startLocation == NetworkPath) {
        drawLine(deviceContext, 10, kEtoOpaque, client, kNetworkPath);
        char line[512];
        (void)std::snprintf(line, sizeof line, "%s%s", kTemporaryDirectory, tempPath);  // always fits
        drawLine(deviceContext, 50, kEtoClipped, client, line);
        networkNoticeShown = 1;
        drawLine(deviceContext, 30, kEtoClipped, client, status);
    }

    // A font still selected into the (class-owned) device context cannot be
    // deleted; put the previous one back first.
    platform->selectObject(deviceContext, previousFont);
    platform->deleteObject(font);
    platform->endPaint(window, &paint);
}

}  // namespace

void registerStatusWindowClass(InstanceHandle instance) {
    WindowClass windowClass;
    windowClass.style = kStatusWindowClassStyle;
    windowClass.procedure = statusWindowProc;
    windowClass.instance = instance;
    // The program's one icon serves as both; the caption of a WS_OVERLAPPED
    // window shows none, the task switcher does.
    windowClass.icon = platform->loadIcon(instance, kIconGroup);
    windowClass.smallIcon = windowClass.icon;
    windowClass.cursor = platform->loadCursor(nullptr, kIdcArrow);
    windowClass.background = platform->getStockObject(kWhiteBrush);
    windowClass.className = windowClassName;
    platform->registerClassEx(windowClass);
}

bool createStatusWindow(InstanceHandle instance, int showCommand) {
    instanceHandle = instance;
    const int width = anotherInstanceRunning ? kAnotherInstanceWidth : kWidth;
    const int height = anotherInstanceRunning ? kAnotherInstanceHeight : kHeight;
    const WindowHandle window = platform->createWindowEx(0, windowClassName, windowTitle, kWsOverlapped, 0, 0, width,
                                                         height, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return false;
    }
    platform->showWindow(window, showCommand);
    platform->updateWindow(window);  // paints at once
    return true;
}

intptr_t statusWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    char status[kResourceStringSize] = {};
    platform->loadString(instanceHandle, kStatusString, status, kResourceStringSize);
    switch (message) {
    case kWmDestroy:
        platform->postQuitMessage(0);
        return 0;
    case kWmPaint:
        paintStatus(window, status);
        return 0;
    default:
        // WM_COMMAND 104 from the accelerators included: nothing of its own.
        return platform->defWindowProc(window, message, wParam, lParam);
    }
}

}  // namespace launcher
