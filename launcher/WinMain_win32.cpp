// The program's entry on Windows: the launcher over the system's services.
#include "launcher/Launcher.h"
#include "platform/WindowsApi.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand) {
    launcher::platform = &launcher::windowsLauncherPlatform();
    return launcher::launcherMain(instance, previousInstance, commandLine, showCommand);
}
