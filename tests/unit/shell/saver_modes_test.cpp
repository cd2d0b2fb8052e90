// The run modes end to end on the headless platform: the full-screen saver and what ends
// it, the single instance, the preview, the refused switches and the process entry.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "frame/scene_globals.h"
#include "platform/headless/headless.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/system_services.h"
#include "platform/window_system.h"
#include "saver/saver_state.h"
#include "shell/saver_main.h"
#include "shell/shell_state.h"
#include "shell/window_procs.h"
#include "shell_test_support.h"

namespace {

using SaverMode = SaverChainTest;

TEST_F(SaverMode, FullScreenRunsFramesBackToBackUntilTheCursorTravelsFivePixels) {
    // None of these ends the saver: a release whose press came before, a wheel turn,
    // 4 pixels of travel in two steps, a character. The fifth pixel, summed from where
    // the cursor started, does.
    headlessSetCursorPos({30, 30});
    headlessQueueInput(1100, WM_KEYUP, VK_A, 0);
    headlessQueueInput(1150, WM_MOUSEWHEEL, 120u << 16, 0);
    headlessQueueMouseMove(1200, 32, 31);
    headlessQueueMouseMove(1250, 31, 33);
    headlessQueueInput(1300, WM_CHAR, 'a', 0);
    headlessQueueMouseMove(1500, 33, 32);
    // A virtual screen whose origin lies left of and above the primary one, at 24 bits.
    headlessSetScreenRect({-20, -10, 44, 38});
    headlessSetColorDepth(24);

    EXPECT_EQ(saverMain(nullptr, "/s"), 0);
    EXPECT_LE(platformTickCount(), 1520u);

    // A topmost popup over the whole virtual screen, destroyed at the end.
    const HeadlessWindowInfo window = headlessLastCreatedWindow();
    EXPECT_EQ(std::tuple(window.style, window.exStyle, window.parent), std::tuple(0x96000000u, 8u, nullptr));
    EXPECT_EQ(std::tuple(window.x, window.y, window.width, window.height), std::tuple(-20, -10, 64, 48));
    EXPECT_EQ(colorBits, 24);
    EXPECT_TRUE(headlessLastRegisteredClass().blackBackground);
    EXPECT_EQ(headlessNewestWindow(), nullptr);

    // About one frame every 10 ms over the 500 ms, each at least 10 ms after the last.
    const int frames = headlessPaintCount();
    EXPECT_TRUE(frames >= 45 && frames <= 51) << frames;
    for (int i = 1; i < frames && i < HEADLESS_PAINT_LOG_CAPACITY; ++i) {
        EXPECT_GE(headlessPaintTick(i) - headlessPaintTick(i - 1), 10u) << i;
    }
    EXPECT_GE(headlessHideCursorCount(), frames);
}

TEST_F(SaverMode, TheFrameTimerTicksEvery20MsFromCreationToDestruction) {
    ASSERT_TRUE(platformRegisterClass({"Saver", 0, saverWindowProc, nullptr, 0, true}));
    WindowHandle window = platformCreateWindow({0, "Saver", "", 0, 0, 0, 32, 24, nullptr, nullptr});
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(std::pair(headlessWindowInfo(window).activeTimers, headlessTimerPeriod(window, 1)), std::pair(1, 20u));
    saverWindowProc(window, WM_DESTROY, 0, 0);
    EXPECT_EQ(headlessWindowInfo(window).activeTimers, 0);
}

TEST_F(SaverMode, ASecondSaverBringsTheFirstToTheFrontAndEndsAtOnce) {
    ASSERT_TRUE(platformRegisterClass({"WindowsScreenSaverClass", 0, [](WindowHandle, std::uint32_t, WPARAM, LPARAM) {
                                           return LRESULT(0);
                                       }, nullptr, 100, true}));
    WindowHandle first = platformCreateWindow(
        {8, "WindowsScreenSaverClass", "Screen Saver", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr});
    ASSERT_NE(first, nullptr);
    isWin9x = 1;
    EXPECT_EQ(saverMain(nullptr, "/s"), 0);
    EXPECT_EQ(platformGetForegroundWindow(), first);
    EXPECT_EQ(headlessPaintCount(), 0);
    EXPECT_EQ(headlessRegistryOpenCount(), 0);  // no password hook was loaded
}

TEST_F(SaverMode, PreviewIsAChildThatInputDoesNotEnd) {
    WindowHandle host = headlessCreateWindow(80, 60);
    headlessQueueInput(1100, WM_KEYDOWN, VK_A, 0);
    headlessQueueInput(1110, WM_LBUTTONDOWN, 1, 0);
    headlessQueueMouseMove(1120, 500, 500);
    headlessQueueInput(1130, WM_ACTIVATEAPP, 0, 0);
    // The display settings close the preview by asking it to close.
    headlessQueueInput(1400, WM_CLOSE, 0, 0);

    EXPECT_EQ(saverMain(nullptr, ("/p " + numberOf(host)).c_str()), 0);

    const HeadlessWindowInfo preview = headlessLastCreatedWindow();
    EXPECT_EQ(std::tuple(preview.parent, preview.style, preview.exStyle), std::tuple(host, 0x52000000u, 0u));
    EXPECT_EQ(std::pair(preview.width, preview.height), std::pair(80, 60));  // the host's client area
    EXPECT_GE(platformTickCount(), 1400u);
    EXPECT_EQ(headlessHideCursorCount(), 0);  // the preview never touches the cursor
    EXPECT_TRUE(platformIsWindow(host));
}

// Switches that are refused make no window and open nothing; an empty text opens the
// configure dialog without an owner; /c gives it the window named after a colon, or else
// the foreground window.
TEST_F(SaverMode, EachSwitchRunsItsModeOrIsRefused) {
    const HeadlessDialogStep cancel[] = {{HeadlessDialogAction::Click, 2}};
    WindowHandle owner = headlessCreateWindow(10, 10);
    WindowHandle foreground = headlessCreateWindow(10, 10);
    headlessSetForegroundWindow(foreground);
    const struct {
        std::string text;
        int result;
        bool dialog;
        WindowHandle owner;
    } cases[] = {
        {"/p", -1, false, nullptr},      {"/p 1234", -1, false, nullptr}, {"/x", -1, false, nullptr},
        {"/a", -1, false, nullptr},      {"", 0, true, nullptr},          {"/c", 0, true, foreground},
        {"/c:1234", 0, true, foreground}, {"/c:" + numberOf(owner), 0, true, owner},
    };
    for (const auto& c : cases) {
        const int runs = headlessDialogRecord().runs;
        headlessScriptDialog(cancel, 1);
        EXPECT_EQ(saverMain(nullptr, c.text.c_str()), c.result) << c.text;
        EXPECT_EQ(headlessDialogRecord().runs, runs + int(c.dialog)) << c.text;
        if (c.dialog) {
            EXPECT_EQ(headlessDialogRecord().owner, c.owner) << c.text;
            EXPECT_EQ(headlessDialogRecord().resourceId, 2003);
        }
    }
    EXPECT_FALSE(headlessLastCreatedWindow().exists);
    EXPECT_EQ(std::tuple(headlessRegistryOpenCount(), headlessLibraryLoadCount(), headlessSystemParameterCalls()),
              std::tuple(0, 0, 0));
    headlessFailDialogCreation(true);
    EXPECT_EQ(saverMain(nullptr, "/c"), -1);
}

TEST_F(SaverMode, LowDetailFollowsBitZeroOfTheStoredValue) {
    const struct {
        const char* text;
        std::uint8_t low;
    } cases[] = {{"[param]\nlow=3\n", 1}, {"[param]\nlow=2\n", 0}, {"", 0}};
    for (const auto& c : cases) {
        SetUp();
        writeSettings(c.text);
        moteCount = 1000;
        renderDevice.smoothTextures = true;
        headlessQueueInput(1050, WM_KEYDOWN, VK_A, 0);
        EXPECT_EQ(saverMain(nullptr, "/s"), 0);
        // The grids' textures slide, two of them in opposite directions, only in frames
        // that draw the grids; otherwise they stay the copies they were made as.
        ASSERT_GT(gridMesh1.vertexCount, 0);
        EXPECT_EQ(gridMesh1.vertices[0].u == gridMesh2.vertices[0].u, c.low == 1) << c.text;
        EXPECT_EQ(moteCount, c.low ? 400 : 1000) << c.text;
        EXPECT_EQ(renderDevice.smoothTextures, c.low == 0) << c.text;
        TearDown();
    }
}

// Mends: a saver that cannot make its window ends with -1 and releases the password
// hook; a message loop whose platform fails ends instead of spinning.
TEST_F(SaverMode, NoClassOrNoWindowEndsWithMinusOne) {
    static const HeadlessEntryPoint verifier[] = {
        {"VerifyScreenSavePwd", reinterpret_cast<ProcAddress>(+[](WindowHandle) { return 1; })}};
    const std::uint32_t one = 1;
    headlessSetRegistryValue("Control Panel\\Desktop", "ScreenSaveUsePassword", &one, 4);
    headlessAddLibrary("PASSWORD.CPL", verifier, 1);
    headlessSetPlatformId(1);
    for (const bool failClass : {true, false}) {
        headlessFailClassRegistration(failClass);
        headlessFailWindowCreation(!failClass);
        EXPECT_EQ(saverMain(nullptr, "/s"), -1);
        EXPECT_EQ(headlessLibrariesLoaded(), 0);
        EXPECT_FALSE(headlessScreenSaverRunning());
    }
}

TEST_F(SaverMode, AFailingMessageLoopEndsWithMinusOne) {
    headlessSetMessageLimit(30);
    EXPECT_EQ(saverMain(nullptr, "/s"), -1);
    EXPECT_EQ(headlessPaintCount(), 30);
}

// Mend: the crash guard's exit code is -1; on the Windows 95 family it switches the
// saver-running state off, while NT keeps that state itself and it is left alone.
TEST_F(SaverMode, TheCrashGuardSwitchesTheRunningStateOffAndExitsWithMinusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const auto& [platformId, stateAfter] : {std::pair(1u, "running: 0"), std::pair(2u, "running: 1")}) {
        headlessSetPlatformId(platformId);
        EXPECT_EQ(saverMain(nullptr, "/x"), -1);  // installs the guard
        platformSystemParametersInfo(97, 1, nullptr, 0);
        EXPECT_EXIT(headlessRaiseFault(), testing::ExitedWithCode(255), stateAfter) << platformId;
    }
}

}  // namespace
