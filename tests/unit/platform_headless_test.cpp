#include <gtest/gtest.h>

#include <string>

#include "shell/headless.h"
#include "shell/platform.h"

TEST(HeadlessPlatform, ClockMovesOnlyWhenDrivenAndWraps) {
    headlessReset();
    headlessSetTickCount(0xFFFFFFFFu);
    headlessAdvanceTickCount(2);
    platformSleep(7);
    platformSleep(3);
    EXPECT_EQ(platformTickCount(), 1u);
    EXPECT_EQ(headlessSleepCount(), 2u);
    EXPECT_EQ(headlessLastSleepMs(), 3u);
}

TEST(HeadlessPlatform, WindowsComeFromAFixedTable) {
    headlessReset();
    EXPECT_EQ(headlessCreateWindow(-1, 10), nullptr);
    WindowHandle windows[HEADLESS_WINDOW_CAPACITY];
    for (WindowHandle& w : windows) ASSERT_NE(w = headlessCreateWindow(320, 200), nullptr);
    EXPECT_EQ(headlessCreateWindow(1, 1), nullptr);
    headlessDestroyWindow(windows[3]);
    EXPECT_EQ(platformGetDC(windows[3]), nullptr);
    EXPECT_EQ(headlessCreateWindow(1, 1), windows[3]);

    headlessSetClientSize(windows[0], 1280, 720);
    EXPECT_EQ(platformClientSize(windows[0]).width, 1280);
    EXPECT_EQ(platformClientSize(windows[0]).height, 720);
    EXPECT_EQ(platformClientSize(windows[1]).height, 200);
}

TEST(HeadlessPlatform, DeviceContextsAreCountedAndLogTheirText) {
    headlessReset();
    WindowHandle window = headlessCreateWindow(64, 64);
    DeviceContext dc = platformGetDC(window);
    EXPECT_EQ(platformGetDC(window), dc);
    EXPECT_EQ(headlessDCsInUse(window), 2);
    for (int k = 0; k < 3; ++k) platformReleaseDC(window, dc);
    EXPECT_EQ(headlessDCsInUse(window), 0);

    const std::string longText(40, 'a');
    platformTextOut(dc, 5, 6, "abcdef", 3);
    platformTextOut(dc, 0, 0, longText.c_str(), int(longText.size()));
    for (int k = 0; k < HEADLESS_TEXT_LOG_CAPACITY; ++k) platformTextOut(dc, k, k, "z", 1);
    const HeadlessDeviceContext* record = headlessDeviceContext(dc);
    EXPECT_EQ(record->textOutCount, HEADLESS_TEXT_LOG_CAPACITY + 2);
    EXPECT_STREQ(record->textOuts[0].text, "abc");
    EXPECT_EQ(record->textOuts[0].y, 6);
    EXPECT_EQ(record->textOuts[1].text, longText.substr(0, 31));

    // Anything that is not one of its device contexts is ignored.
    int other = 0;
    EXPECT_EQ(headlessDeviceContext(&other), nullptr);
    platformTextOut(&other, 0, 0, "x", 1);
}
