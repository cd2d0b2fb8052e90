#include "wayland_memory.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "child_wait.h"
#include "probe_runs.h"
#include "program_launch.h"

namespace {

constexpr int EXIT_GRACE_MS = 10000;

// VmRSS of /proc/PID/status in KiB, or -1.
long residentKiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return -1;
}

}  // namespace

bool runMemory(const WaylandSetup& setup, const CostLayout& layout, MemoryRun& run) {
    std::fprintf(stderr, "orvel-bench: memory run, %d x %dx%d for %d s...\n", layout.outputs, layout.width,
                 layout.height, MemoryRun::SAMPLES * MemoryRun::SAMPLE_MS / 1000);
    const std::string errors = setup.scratch + "/memory.err";
    LaunchedProgram launched;
    if (!launchProgram(setup.orvel, {setup.orvel, "/s"},
                       waylandEnvironment(setup, layout.sway.runtime, layout.sway.display), errors, false, launched))
        return false;
    for (long& kib : run.residentKiB) {
        pauseMs(MemoryRun::SAMPLE_MS);
        kib = residentKiB(launched.pid);
    }
    const int exitCode = endChild(launched.pid, EXIT_GRACE_MS);
    run.frames = statsFigure(errors, "orvel stats: ");
    if (exitCode == 0 && run.residentKiB[0] > 0 && run.residentKiB[MemoryRun::SAMPLES - 1] > 0) return true;
    std::fprintf(stderr, "orvel-bench: the memory run of orvel-wayland failed (exit code %d):\n", exitCode);
    showErrors(errors);
    return false;
}

void printMemory(const CostLayout& layout, const MemoryRun& run) {
    if (run.residentKiB[0] <= 0) return;
    constexpr int last = MemoryRun::SAMPLES - 1;
    std::printf("Memory of orvel-wayland /s on %d outputs of %dx%d (no probe), %.0f frames in %d s: its resident\n"
                "set, VmRSS of /proc/PID/status, KiB\n", layout.outputs, layout.width, layout.height, run.frames,
                MemoryRun::SAMPLES * MemoryRun::SAMPLE_MS / 1000);
    for (int s = 0; s <= last; ++s) std::printf("%7d s", (s + 1) * MemoryRun::SAMPLE_MS / 1000);
    std::printf("\n");
    for (long kib : run.residentKiB) std::printf("%9ld", kib);
    const long growth = run.residentKiB[last] - run.residentKiB[0];
    std::printf("\nfrom %d s to %d s: %+ld KiB, %+.1f KiB a second\n\n", MemoryRun::SAMPLE_MS / 1000,
                MemoryRun::SAMPLES * MemoryRun::SAMPLE_MS / 1000, growth,
                double(growth) * 1000.0 / (last * MemoryRun::SAMPLE_MS));
}
