#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "saver/frame_timer.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

class FrameTimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        headlessReset();
        window = headlessCreateWindow(640, 480);
        dc = platformGetDC(window);
        record = headlessDeviceContext(dc);
        ASSERT_NE(record, nullptr);
    }

    // Moves the clock on by ms and ticks, with a fresh device-context log for the tick.
    float tickAfter(std::uint32_t ms) {
        headlessAdvanceTickCount(ms);
        headlessResetDeviceContext(dc);
        return timer.tick(dc);
    }

    // Ticks through frames whose steps are spread evenly (15 and 16 ms for 60-odd frames
    // a second) so that `frames` ticks take `totalMs`.
    void runFrames(int frames, int totalMs) {
        for (int k = 1, reached = 0; k <= frames; ++k) {
            const int next = k * totalMs / frames;
            tickAfter(std::uint32_t(next - reached));
            reached = next;
        }
    }

    // The last tick drew the rate at (20, 20), then the label at (70, 20), in white
    // without a background box.
    void expectOverlay(const std::string& rate) const {
        EXPECT_EQ(record->textRed + record->textGreen + record->textBlue, 3 * 255);
        EXPECT_TRUE(record->transparentBackground);
        ASSERT_EQ(record->textOutCount, 2);
        const HeadlessTextOut* const out = record->textOuts;
        EXPECT_EQ(std::tuple(std::string(out[0].text), out[0].x, out[0].y), std::tuple(rate, 20, 20));
        EXPECT_EQ(std::tuple(std::string(out[1].text), out[1].x, out[1].y), std::tuple("(fps)", 70, 20));
    }

    FrameTimer timer;
    WindowHandle window = nullptr;
    DeviceContext dc = nullptr;
    HeadlessDeviceContext* record = nullptr;
};

}  // namespace

// The first tick only reads the clock; later ones measure, across the tick count's wrap.
TEST_F(FrameTimerTest, FirstTickOnlyReadsTheClockAndLaterOnesMeasure) {
    headlessSetTickCount(0xFFFFFFF0u);
    EXPECT_EQ(timer.tick(dc), 0.033f);
    EXPECT_EQ(record->textOutCount, 0);
    EXPECT_EQ(tickAfter(0x20), 0.032f);
    expectOverlay("");
    EXPECT_EQ(tickAfter(0x10), 0.016f);
}

TEST_F(FrameTimerTest, RateIsComputedOnTheTickThatPassesTheInterval) {
    // 63 ticks reach 998 ms, the 64th 1014 ms.
    timer.tick(dc);
    runFrames(63, 998);
    EXPECT_STREQ(timer.text, "");
    tickAfter(16);
    expectOverlay("63.116");

    // The text stays until the next interval has passed, and exactly the interval is
    // not enough.
    runFrames(10, 1000);
    EXPECT_STREQ(timer.text, "63.116");
    tickAfter(1);
    EXPECT_STREQ(timer.text, "10.989");
}

TEST_F(FrameTimerTest, HiddenTextIsNotDrawn) {
    timer.tick(dc);
    EXPECT_EQ(timer.configure(0, 1000), 1);
    tickAfter(1001);
    EXPECT_EQ(record->textOutCount, 0);
}
