#pragma once
// The frames of the real scene run up to the one the floor replays, on the headless
// virtual clock: frame 1 at scene time 0, then, as in orvel-bench, a jump past the title,
// the fade-in and the rate text of the start, here to 42 s. The next 180 frames (3 s of
// scene time, longer than any spark lives) bring the particle pool to its steady size, so
// frame 182 is drawn at scene time 45.000 s (the clock's 16 and 17 ms steps sum to exactly
// 3000 ms over 180 frames).
#include <cstdint>
#include <vector>

#include "frame_size.h"
#include "platform/handles.h"

inline constexpr int CLOCK_FPS = 60;
inline constexpr int WARM_UP_FRAMES = 181;
inline constexpr double STEADY_SCENE_TIME = 42.0;

// Runs frame k (counted from 0) with the clock at floor(k * 1000 / CLOCK_FPS) ms.
void runClockedFrame(WindowHandle window, int k);

// Frames 1..WARM_UP_FRAMES, each finished with glFinish; the next is frame k = WARM_UP_FRAMES
// (counted from 0), drawn at scene time 45 s.
void runWarmUp(WindowHandle window);

// The current framebuffer's RGBA pixels, bottom row first, after glFinish.
std::vector<unsigned char> readFramePixels(int width, int height);


// A count of frames from 1 to MAX_FRAME_COUNT, nothing before or after.
inline constexpr int MAX_FRAME_COUNT = 100000;
bool parseFrameCount(const char* text, int& count);
