// The Windows message queue that the headless and X11 backends share, driven through the
// headless backend: the order GetMessage hands messages out in, what PeekMessage finds
// and takes, posting, the quit message, timers and classes.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/window_system.h"

namespace {

constexpr std::uint32_t WM_USER = 0x0400;

class WindowQueue : public testing::Test {
protected:
    void SetUp() override {
        headlessReset();
        headlessSetSleepAdvancesClock(true);
        headlessSetTickCount(1000);
        // However a test goes wrong, it ends: no run takes this many messages.
        headlessSetMessageLimit(20000);
        ASSERT_TRUE(platformRegisterClass({"Quiet", 0, [](WindowHandle, std::uint32_t, WPARAM, LPARAM) {
                                               return LRESULT(0);
                                           }, nullptr, 0, true}));
        older = open();
        newer = open();
    }

    static WindowHandle open() { return platformCreateWindow({0, "Quiet", "", 0, 0, 0, 8, 8, nullptr, nullptr}); }

    // The next message GetMessage hands out, as (window, number), with its result.
    struct Taken {
        int result;
        WindowHandle window;
        std::uint32_t message;
        WPARAM wParam;
    };
    static Taken next() {
        QueuedMessage m{};
        const int result = platformGetMessage(m);
        return {result, m.window, m.message, m.wParam};
    }

    WindowHandle older = nullptr;
    WindowHandle newer = nullptr;
};

TEST_F(WindowQueue, GetMessageTakesPostedThenInputThenQuitThenPaintOldestFirstThenTimers) {
    platformSetTimer(older, 1, 10);
    platformSetTimer(newer, 2, 50);
    platformInvalidateRect(newer);
    platformInvalidateRect(older);
    headlessSetForegroundWindow(older);
    headlessQueueInput(1000, WM_KEYDOWN, 0x41, 0);
    platformPostMessage(newer, WM_USER + 1, 0, 0);
    platformPostMessage(newer, WM_USER + 2, 0, 0);
    platformPostQuitMessage(7);
    headlessAdvanceTickCount(10);

    const Taken expected[] = {
        {1, newer, WM_USER + 1, 0}, {1, newer, WM_USER + 2, 0}, {1, older, WM_KEYDOWN, 0x41},
        {0, nullptr, WM_QUIT, 7},   {1, older, WM_PAINT, 0},    {1, newer, WM_PAINT, 0},
        {1, older, WM_TIMER, 1},
    };
    for (const auto& e : expected) {
        const Taken t = next();
        EXPECT_EQ(std::tuple(t.result, t.window, t.message, t.wParam),
                  std::tuple(e.result, e.window, e.message, e.wParam)) << std::hex << e.message;
        // Paint stays requested until default processing validates the window.
        if (t.message == WM_PAINT) platformDefWindowProc(t.window, WM_PAINT, 0, 0);
    }
    // Nothing waits: the queue waits for the nearer of the two windows' timers, 10 ms on.
    const std::uint32_t before = platformTickCount();
    const Taken tick = next();
    EXPECT_EQ(std::pair(tick.message, tick.wParam), std::pair(WM_TIMER, WPARAM(1)));
    EXPECT_EQ(platformTickCount() - before, 10u);
}

TEST_F(WindowQueue, PeekFindsOnlyItsWindowAndRangeAndRemovesOnlyWhenAsked) {
    for (std::uint32_t n = 1; n <= 3; ++n) platformPostMessage(older, WM_USER + n, 0, 0);
    platformPostMessage(newer, WM_USER + 9, 0, 0);
    QueuedMessage m{};
    EXPECT_FALSE(platformPeekMessage(m, older, WM_USER + 9, WM_USER + 9, PM_REMOVE)) << "another window's message";
    EXPECT_TRUE(platformPeekMessage(m, older, WM_USER + 2, WM_USER + 2, PM_NOYIELD)) << "found, left in place";
    EXPECT_TRUE(platformPeekMessage(m, older, WM_USER + 2, WM_USER + 2, PM_REMOVE | PM_NOYIELD)) << "found again, taken";
    EXPECT_FALSE(platformPeekMessage(m, older, WM_USER + 2, WM_USER + 2, PM_REMOVE)) << "gone";
    // The others keep their order (a braced list is evaluated left to right).
    EXPECT_EQ((std::vector{next().message, next().message, next().message}),
              (std::vector<std::uint32_t>{WM_USER + 1, WM_USER + 3, WM_USER + 9}));
}

TEST_F(WindowQueue, OnlyTheProgramsWindowsTakePostsAndAGoneWindowsPostsGoWithIt) {
    EXPECT_FALSE(platformPostMessage(reinterpret_cast<WindowHandle>(std::uintptr_t(0x1234)), WM_USER, 0, 0));
    EXPECT_TRUE(platformPostMessage(newer, WM_USER, 0, 0));
    headlessDestroyWindow(newer);
    WindowHandle again = open();  // takes the freed record, and its handle
    ASSERT_EQ(again, newer);
    QueuedMessage m{};
    EXPECT_FALSE(platformPeekMessage(m, again, WM_USER, WM_USER, PM_REMOVE));
}

TEST_F(WindowQueue, TimersTickOnTheirPeriodFromTheLastTickAndPeekTakesThemOnlyInRange) {
    QueuedMessage m{};
    EXPECT_EQ(platformSetTimer(older, 1, 10), 1u);
    EXPECT_EQ(platformSetTimer(older, 1, 10), 1u);  // the same timer, restarted
    EXPECT_EQ(headlessWindowInfo(older).activeTimers, 1);
    headlessAdvanceTickCount(9);
    EXPECT_FALSE(platformPeekMessage(m, older, WM_TIMER, WM_TIMER, PM_REMOVE));
    headlessAdvanceTickCount(1);  // exactly one period
    EXPECT_FALSE(platformPeekMessage(m, older, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) << "WM_TIMER is outside the range";
    EXPECT_FALSE(platformPeekMessage(m, newer, WM_TIMER, WM_TIMER, PM_REMOVE)) << "another window's timer";
    EXPECT_TRUE(platformPeekMessage(m, older, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(m.wParam, 1u);
    // A tick taken late starts the next period then: no burst of ticks to catch up.
    headlessAdvanceTickCount(35);
    EXPECT_TRUE(platformPeekMessage(m, older, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_FALSE(platformPeekMessage(m, older, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_TRUE(platformKillTimer(older, 1));
    EXPECT_FALSE(platformKillTimer(older, 1));
}

TEST_F(WindowQueue, AClassNameIsRegisteredOnce) {
    EXPECT_FALSE(platformRegisterClass({"Quiet", 0, [](WindowHandle, std::uint32_t, WPARAM, LPARAM) {
                                            return LRESULT(1);
                                        }, nullptr, 0, true}));
}

}  // namespace
