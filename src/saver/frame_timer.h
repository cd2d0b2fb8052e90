#pragma once
// The saver's frame clock and its frame-rate overlay. The frame driver ticks it once at
// the end of every frame: the tick returns the seconds since the previous frame and,
// about once per update interval, turns the frames counted over the time measured into
// the rate text, which it draws with "(fps)" in the window's top-left corner.
#include <cstdint>

#include "saver/rate_text.h"
#include "platform/handles.h"

struct FrameTimer {
    std::uint8_t enabled = 1;          // 0: tick does nothing and returns 0
    std::uint8_t started = 0;          // set by the first tick, which only reads the clock
    std::uint8_t suspended = 0;        // 1: tick does nothing and returns 0
    std::uint8_t showText = 1;         // draw the rate text
    std::uint32_t lastTick = 0;        // tick count at the previous tick, ms
    std::int32_t frameCount = 0;       // ticks since the text was last recomputed
    std::int32_t updateIntervalMs = 1000;
    std::int32_t accumulatedMs = 0;    // frame time since the text was last recomputed
    char text[RATE_TEXT_CAPACITY] = {};

    // Seconds since the previous tick (0.033 on the first), drawing the overlay on dc,
    // a device context of the saver window that the caller owns.
    float tick(DeviceContext dc);

    // Sets whether the text is drawn and how often it is recomputed; returns 1.
    int configure(std::uint8_t showText, std::int32_t updateIntervalMs);
};

extern FrameTimer frameTimer;
