#pragma once
// The scene started as the saver starts it, but on a headless window and EGL surface:
// what the offline renderer, the benchmark and the whole-scene tests share.
#include <cstdint>

#include "platform/handles.h"

// Sets the detail mode, a 32-bit colour depth and the compiled-in bitmaps, then runs
// setupScene on a headless window of the given size. Returns the window, or nullptr when
// no window or no OpenGL context could be made.
WindowHandle startHeadlessScene(int width, int height, bool low);

// The virtual millisecond clock before frame k (from 0) at fps frames a second: whole
// milliseconds computed from k each time, so rounding never accumulates. Wraps at 2^32
// like the real tick count.
std::uint32_t virtualTick(std::int64_t k, int fps);
