#pragma once
// orvel-bench --wayland: the Wayland program `orvel-wayland /s` under headless sways of
// orvel-bench's own. Start-up from exec to the first frame presented (orvel-probe.so
// preloaded), over options.runs runs taken in turns with its floor (orvel-floor-wayland:
// a layer surface, an EGL context and one cleared frame, timed the same way); then the
// frame time of the ORVEL_STATS line with one output and with two, runs in turns.
#include "bench_options.h"

// Returns EXIT_OK or EXIT_RUN_FAILED.
int runWaylandBench(const BenchOptions& options);
