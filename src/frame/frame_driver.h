#pragma once
// One pass of the animation: advance the scene by the last frame's duration, draw it,
// draw the overlays of the first seconds, present, measure the frame and pace it to at
// least 10 ms.
#include <cstdint>

#include "platform/handles.h"

// Scene time in seconds: the sum of the measured frame durations. Kept in double so the
// scene still moves at the right speed after days of running.
extern double sceneTime;

// Runs one frame on the saver window. Returns 1.
int runFrame(WindowHandle window);

// Sleeps out whatever remains of 10 ms since the frame began at startTick.
void paceFrame(std::uint32_t startTick);
