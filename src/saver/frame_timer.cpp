#include "saver/frame_timer.h"

#include <cstring>

#include "platform/platform.h"

FrameTimer frameTimer;

namespace {

constexpr float FIRST_TICK_SECONDS = 0.033f;
constexpr int TEXT_X = 20;
constexpr int FPS_LABEL_X = 70;
constexpr int TEXT_Y = 20;
constexpr char FPS_LABEL[] = "(fps)";

}  // namespace

float FrameTimer::tick(DeviceContext dc) {
    if (enabled == 0 || suspended == 1) return 0.0f;
    if (started == 0) {
        started = 1;
        lastTick = platformTickCount();
        return FIRST_TICK_SECONDS;
    }

    // The unsigned difference stays right across the wrap of the tick count. The sums
    // wrap rather than overflow: a frame longer than 2^31 ms leaves the sum negative,
    // and the text waits until it has climbed past the interval again.
    const std::uint32_t now = platformTickCount();
    const std::uint32_t interval = now - lastTick;
    lastTick = now;
    accumulatedMs = std::int32_t(std::uint32_t(accumulatedMs) + interval);
    frameCount = std::int32_t(std::uint32_t(frameCount) + 1u);
    const float seconds = float(double(interval) * 0.001);

    if (accumulatedMs > updateIntervalMs) {
        const double rate = double(frameCount) / (double(accumulatedMs) * 0.001);
        formatRateText(rate, text);
        accumulatedMs = 0;
        frameCount = 0;
    }

    platformSetTextColor(dc, 255, 255, 255);
    platformSetBkModeTransparent(dc);
    if (showText) {
        platformTextOut(dc, TEXT_X, TEXT_Y, text, int(std::strlen(text)));
        platformTextOut(dc, FPS_LABEL_X, TEXT_Y, FPS_LABEL, int(sizeof FPS_LABEL) - 1);
    }
    return seconds;
}

int FrameTimer::configure(std::uint8_t showText, std::int32_t updateIntervalMs) {
    this->showText = showText;
    this->updateIntervalMs = updateIntervalMs;
    return 1;
}
