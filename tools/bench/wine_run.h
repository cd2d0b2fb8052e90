#pragma once
// orvel-bench --wine: `Orvel.scr /s` under wine64 on an Xvfb of orvel-bench's own, in a
// throwaway prefix. Wine's opengl32 cannot take the probe, so the screen is watched
// instead: start-up runs from the launch of wine64 until the root window shows a pixel
// that is not black. A baseline of `wine64 cmd /c exit` shows Wine's own share.
#include "bench_options.h"

// Returns EXIT_OK or EXIT_RUN_FAILED.
int runWineBench(const BenchOptions& options);
