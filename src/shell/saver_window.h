#pragma once
// The saver window: a full-screen top-most popup, or a preview child of a window of the
// display settings, with the message loop that runs until it is destroyed.
#include <cstdint>

#include "platform/handles.h"

// Runs the saver in a new window (a preview child of parent, or full screen when parent
// is none) until the window is destroyed. 0 after a normal end, and when a full-screen
// saver already runs (it is brought to the front instead); -1 when the window class or
// the window cannot be made.
std::int32_t runSaverWindow(WindowHandle parent);

// Dispatches messages until the quit message, whose code it returns, or until the
// platform cannot deliver messages any more (-1).
std::int32_t runMessageLoop();
