#pragma once
// orvel-bench --wayland's pacing check: what the saver draws while the compositor sends
// no frame callbacks, as for an output that is powered off. Headless sway ignores
// `output X dpms off` and `output X disable` (both leave the output active and its frames
// coming), so this runs under the end-to-end cases' test compositor, whose --hold-frames
// never answers the frame callbacks of one output. Three layouts in turns: one output
// answered (the reference), one output held, and two outputs with the first held.
#include <string>

#include "wayland_setup.h"

// Runs `turns` turns and prints the table; false when a run failed. Prints why and
// returns true when the test compositor is not built.
bool runHeldFrames(const WaylandSetup& setup, int width, int height, int turns);
