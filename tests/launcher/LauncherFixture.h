// A launcher run over the scripted machine: installs the fake, resets the
// launcher's process-wide state, and runs launcherMain as the start-up code does.
#ifndef TARNWICK_TESTS_LAUNCHER_LAUNCHERFIXTURE_H
#define TARNWICK_TESTS_LAUNCHER_LAUNCHERFIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/Launcher.h"
#include "tests/launcher/FakeLauncherPlatform.h"

namespace tarnwick_test {

class LauncherTest : public ::testing::Test {
protected:
    static constexpr int kShowCommand = 10;  // SW_SHOWDEFAULT

    LauncherTest() {
        launcher::resetLauncherState();
        launcher::platform = &machine;
    }
    ~LauncherTest() override {
        launcher::resetLauncherState();
        launcher::platform = nullptr;
    }

    // Runs the launcher; the status is launcherMain's result or the code passed to
    // exit.
    int run() {
        try {
            const int status = launcher::launcherMain(instance(), nullptr, commandLine, kShowCommand);
            exited = false;
            return status;
        } catch (const ProcessExit &exit) {
            exited = true;
            return exit.code;
        }
    }

    static launcher::InstanceHandle instance() { return reinterpret_cast<launcher::InstanceHandle>(0x400000); }

    // A network start from drive N: with TEMP on C:.
    void startFromNetworkDrive() {
        machine.currentDirectory = "N:\\share\\twk";
        machine.driveTypes["N:"] = launcher::kDriveRemote;
    }

    // The texts drawn into window `number`, in drawing order.
    std::vector<std::string> textsOf(int number) const {
        std::vector<std::string> texts;
        for (const auto &line : machine.lines) {
            if (line.window == number) {
                texts.push_back(line.text);
            }
        }
        return texts;
    }

    FakeLauncherPlatform machine;
    bool exited = false;
    char commandLine[8] = "";
};

}  // namespace tarnwick_test

#endif  // TARNWICK_TESTS_LAUNCHER_LAUNCHERFIXTURE_H
