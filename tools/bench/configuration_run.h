#pragma once
// One benchmark configuration (a window size and a detail level) measured in this
// process: the real setupScene on headless EGL, then frames on a virtual clock.
// setupScene builds global state once per process, so each configuration needs a
// process of its own.
#include "bench_options.h"

// Frame 1 is the first warm-up frame; the timed frames follow the warm-up, and one frame
// with a huge time step comes last.
inline constexpr int WARM_UP_FRAMES = 60;
inline constexpr int TIMED_FRAMES = 300;
inline constexpr int TOTAL_FRAMES = WARM_UP_FRAMES + TIMED_FRAMES + 1;
inline constexpr int CLOCK_FPS = 60;
inline constexpr float HUGE_STEP_SECONDS = 100000.0f;

// Exit codes of a run.
inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_NO_CONTEXT = 1;
inline constexpr int EXIT_USAGE = 2;
inline constexpr int EXIT_ALLOCATED = 3;
inline constexpr int EXIT_RUN_FAILED = 4;  // an --x11 or --wine run failed

// Measures options' configuration and prints its rows (with headings unless rowsOnly).
// Returns EXIT_OK, EXIT_NO_CONTEXT or EXIT_ALLOCATED.
int runConfiguration(const BenchOptions& options);
