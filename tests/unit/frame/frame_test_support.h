#pragma once
// Puts the frame's global state back to a known start between tests.
#include "platform/handles.h"

// Scene time 0, first-frame step, empty pool, zero budget, normal detail, a fresh frame
// timer, the headless clock at 0, grids of 2 x 2 vertices at their start heights, and a
// headless 64 x 48 window, which it returns.
WindowHandle resetFrameState();
