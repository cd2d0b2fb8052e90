#pragma once
// orvel-bench --wayland's memory figure: the saver on two outputs for a minute, its
// resident set (VmRSS of /proc/PID/status) sampled every 10 s. The drawing repeated on
// every output must not grow it from one frame to the next.
#include "wayland_costs.h"
#include "wayland_setup.h"

struct MemoryRun {
    static constexpr int SAMPLE_MS = 10000;
    static constexpr int SAMPLES = 6;  // at 10, 20, ... 60 s
    long residentKiB[SAMPLES] = {};
    double frames = 0;
};

// One run of 60 s on `layout`'s compositor, without the probe. False when it failed.
bool runMemory(const WaylandSetup& setup, const CostLayout& layout, MemoryRun& run);

// The samples and the growth from 10 s to 60 s.
void printMemory(const CostLayout& layout, const MemoryRun& run);
