#pragma once
// orvel-bench --wayland: the Wayland program `orvel-wayland /s` under headless sways of
// orvel-bench's own (outputs of 1920x1080 unless --size). Start-up from exec to every
// output covered and to the first frame (orvel-probe.so preloaded), over options.runs
// runs taken in turns with its floor (orvel-floor-wayland: a layer surface, an EGL
// context and one cleared frame, timed the same way) and with itself on three outputs;
// the frame cost with 1, 2 and 3 outputs against one output of the same pixels
// (wayland_costs.h); frames drawn while no frame callbacks come (wayland_held.h).
#include "bench_options.h"

// Returns EXIT_OK or EXIT_RUN_FAILED.
int runWaylandBench(const BenchOptions& options);
