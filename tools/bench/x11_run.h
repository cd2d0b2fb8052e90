#pragma once
// orvel-bench --x11: the X11 program `orvel /s` on an Xvfb of orvel-bench's own, with
// orvel-probe.so preloaded. Start-up from exec to the first frame presented, over
// options.runs runs taken in turns with its floor (orvel-floor-glx: a window, a GLX
// context and one cleared frame, timed the same way), the screen watched as --wine watches it in five runs more (to show
// what that method misses), and heap calls per frame by origin in three runs more.
#include "bench_options.h"

// Returns EXIT_OK, EXIT_ALLOCATED (Orvel's code allocated after frame 1) or EXIT_RUN_FAILED.
int runX11Bench(const BenchOptions& options);
