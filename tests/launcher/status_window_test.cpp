// Tests of the status window: its class, size and texts in each case, and
// its window procedure.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/launcher/LauncherFixture.h"

namespace {

using tarnwick_test::FakeLauncherPlatform;
using tarnwick_test::LauncherTest;

struct Drawn {
    int y;
    uint32_t options;
    std::string text;
};

class StatusWindowTest : public LauncherTest {
protected:
    // The lines of window `number`: y, option, text; every line at x 10 with
    // the whole client rectangle.
    std::vector<Drawn> linesOf(int number) const {
        std::vector<Drawn> drawn;
        for (const auto &line : machine.lines) {
            if (line.window != number) {
                continue;
            }
            EXPECT_EQ(line.x, 10);
            const FakeLauncherPlatform::WindowCreation &window = machine.windows[static_cast<std::size_t>(number - 1)];
            EXPECT_EQ(line.rectangle.right, window.width - 6);
            EXPECT_EQ(line.rectangle.bottom, window.height - 25);
            drawn.push_back({line.y, line.options, line.text});
        }
        return drawn;
    }

    static void expectLines(const std::vector<Drawn> &actual, const std::vector<Drawn> &expected) {
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(actual[i].y, expected[i].y) << "line " << i;
            EXPECT_EQ(actual[i].options, expected[i].options) << "line " << i;
            EXPECT_EQ(actual[i].text, expected[i].text) << "line " << i;
        }
    }
};

TEST_F(StatusWindowTest, ClassAsRegistered) {
    run();
    EXPECT_EQ(machine.classesRegistered, 1);
    EXPECT_EQ(machine.registeredClassName, "TWKLAUNCHER");
    EXPECT_EQ(machine.windowClass.style, 0x23u);
    EXPECT_EQ(machine.windowClass.procedure, &launcher::statusWindowProc);
    EXPECT_EQ(machine.windowClass.classExtra, 0);
    EXPECT_EQ(machine.windowClass.windowExtra, 0);
    EXPECT_EQ(machine.windowClass.instance, instance());
    EXPECT_NE(machine.windowClass.icon, nullptr) << "icon group 107";
    EXPECT_EQ(machine.windowClass.smallIcon, machine.windowClass.icon);
    EXPECT_NE(machine.windowClass.cursor, nullptr) << "the arrow cursor";
    EXPECT_NE(machine.windowClass.background, nullptr) << "the white stock brush";
    EXPECT_EQ(machine.windowClass.menuName, nullptr);
    EXPECT_EQ(machine.callCount("LoadStringA 103"), 1u);
    EXPECT_EQ(machine.callCount("LoadStringA 109"), 1u);
}

TEST_F(StatusWindowTest, LocalStart) {
    run();
    ASSERT_EQ(machine.windows.size(), 1u);
    const FakeLauncherPlatform::WindowCreation &window = machine.windows[0];
    EXPECT_EQ(window.extendedStyle, 0u);
    EXPECT_EQ(window.className, "TWKLAUNCHER");
    EXPECT_EQ(window.title, "Tarnwick Launcher");
    EXPECT_EQ(window.style, 0u);
    EXPECT_EQ(window.x, 0);
    EXPECT_EQ(window.y, 0);
    EXPECT_EQ(window.width, 500);
    EXPECT_EQ(window.height, 100);
    EXPECT_FALSE(window.parentOrMenu);
    EXPECT_EQ(machine.showCommands, std::vector<int>{kShowCommand});
    expectLines(linesOf(1),
                {{10, 2, "TWK is running from the Local Drive . . ."}, {30, 4, "Initializing Tarnwick ..."}});
    EXPECT_EQ(launcher::networkNoticeShown, 0);
}

TEST_F(StatusWindowTest, PaintsWithArialOnLightBlue) {
    run();
    ASSERT_EQ(machine.fonts.size(), 1u);
    const FakeLauncherPlatform::FontCreation &font = machine.fonts[0];
    EXPECT_EQ(font.height, 15);
    EXPECT_EQ(font.width, 0);
    EXPECT_EQ(font.escapement, 0);
    EXPECT_EQ(font.orientation, 0);
    EXPECT_EQ(font.weight, 400);
    EXPECT_FALSE(font.italic || font.underline || font.strikeOut);
    EXPECT_EQ(font.charSet + font.outputPrecision + font.clipPrecision + font.quality + font.pitchAndFamily, 0u);
    EXPECT_EQ(font.faceName, "Arial");
    EXPECT_EQ(machine.backgroundColours, std::vector<uint32_t>{0x00FCEBDA});
    EXPECT_EQ(machine.fontsDeleted, 1);
    EXPECT_EQ(machine.fontsDeletedWhileSelected, 0) << "the font is deselected before it is deleted";
    EXPECT_EQ(machine.callCount("BeginPaint"), machine.callCount("EndPaint"));
}

TEST_F(StatusWindowTest, NetworkStartShowsTheTemporaryDirectory) {
    startFromNetworkDrive();
    run();
    expectLines(linesOf(1), {{10, 2, "TWK is running from a Network Path . . ."},
                             {50, 4, "A temporary directory has been created at C:\\Temp"},
                             {30, 4, "Initializing Tarnwick ..."}});
    EXPECT_EQ(launcher::networkNoticeShown, 1);
}

TEST_F(StatusWindowTest, LongestTempIsShownWhole) {
    startFromNetworkDrive();
    const std::string temp = "C:\\" + std::string(252, 'x');
    machine.environment["TEMP"] = temp;
    run();
    const std::vector<Drawn> drawn = linesOf(1);
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[1].text, "A temporary directory has been created at " + temp);
    EXPECT_EQ(drawn[1].text.size(), 42u + 255u);
}

TEST_F(StatusWindowTest, AnotherInstance) {
    machine.scriptExitCode = 2;
    run();
    ASSERT_EQ(machine.windows.size(), 1u);
    EXPECT_EQ(machine.windows[0].width, 550);
    EXPECT_EQ(machine.windows[0].height, 120);
    expectLines(linesOf(1),
                {{20, 2, "Another instance of TWK is already running. Hence exiting the application....."},
                 {40, 4, "If you are sure, no other instance is currently running on this system, then please refer"},
                 {60, 4, "\"Frequently Asked Questions\" section in the user guide on how to start TWK."}});
    EXPECT_EQ(launcher::networkNoticeShown, 0);
}

TEST_F(StatusWindowTest, FirstWindowRepaintedAfterAnotherInstanceShowsThatCase) {
    startFromNetworkDrive();
    machine.scriptRunsForMs = 40000;
    machine.scriptExitCode = 2;
    run();
    ASSERT_EQ(machine.windows.size(), 2u);
    launcher::statusWindowProc(FakeLauncherPlatform::windowHandle(1), launcher::kWmPaint, 0, 0);
    const std::vector<Drawn> drawn = linesOf(1);
    ASSERT_EQ(drawn.size(), 6u);
    EXPECT_EQ(drawn[3].text, "Another instance of TWK is already running. Hence exiting the application.....");
    EXPECT_EQ(machine.windows[0].width, 500) << "a window keeps its size";
}

TEST_F(StatusWindowTest, ProcedureLoadsTheStatusTextForEveryMessage) {
    launcher::instanceHandle = instance();
    const std::size_t before = machine.callCount("LoadStringA 104");
    EXPECT_EQ(launcher::statusWindowProc(FakeLauncherPlatform::windowHandle(1), 0x0200, 0, 0), 0);
    EXPECT_EQ(launcher::statusWindowProc(FakeLauncherPlatform::windowHandle(1), 0x0111, 104, 0), 0);
    EXPECT_EQ(machine.callCount("LoadStringA 104"), before + 2);
    EXPECT_EQ(machine.defaultHandled, (std::vector<uint32_t>{0x0200, 0x0111}));
}

TEST_F(StatusWindowTest, DestroyPostsTheQuitMessage) {
    EXPECT_EQ(launcher::statusWindowProc(FakeLauncherPlatform::windowHandle(1), launcher::kWmDestroy, 0, 0), 0);
    EXPECT_EQ(machine.quitMessages, std::vector<int>{0});
    EXPECT_TRUE(machine.defaultHandled.empty());
}

}  // namespace
