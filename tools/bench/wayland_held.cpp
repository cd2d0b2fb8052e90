#include "wayland_held.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "child_wait.h"
#include "program_launch.h"
#include "run_support.h"
#include "test_compositor_server.h"

namespace {

constexpr int WARM_UP_MS = 3000;
constexpr int TIMED_MS = 10000;
constexpr int EXIT_GRACE_MS = 10000;

struct HeldLayout {
    const char* name;
    int outputs;
    int held;  // 1-based; 0 for none
};

constexpr HeldLayout LAYOUTS[] = {
    {"1 output, answered", 1, 0},
    {"1 output, held", 1, 1},
    {"2 outputs, 1st held", 2, 1},
};
constexpr int LAYOUT_COUNT = int(sizeof LAYOUTS / sizeof LAYOUTS[0]);

// Buffers committed so far on each output (1-based), from the compositor's lines:
// "surface ID layer|toplevel OUTPUT" and "commit ID WxH scale S SUM lit|black".
struct Commits {
    std::map<int, double> lit;
    std::map<int, double> black;
};

Commits commitsSoFar(const std::string& report) {
    std::ifstream in(report);
    std::map<int, int> outputOf;
    Commits commits;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind, role, size, scaleWord, sum, shade;
        int id = 0, output = 0, scale = 0;
        words >> kind >> id;
        if (kind == "surface" && words >> role >> output) outputOf[id] = output;
        if (kind == "commit" && words >> size >> scaleWord >> scale >> sum >> shade && outputOf.count(id) != 0) {
            (shade == "lit" ? commits.lit : commits.black)[outputOf[id]] += 1;
        }
    }
    return commits;
}

struct HeldRun {
    double swapsPerSecond = 0;
    double cpuMsPerSecond = 0;
    double litPerSecond[2] = {0, 0};  // scene pictures on output 1 and 2, per second
    double blackOnHeld = 0;           // black buffers on the held output, the whole run
    double litOnHeld = 0;             // scene pictures on the held output, the whole run
};

bool timeHeld(const WaylandSetup& setup, const HeldLayout& layout, int width, int height, int run, HeldRun& result) {
    const std::string dir = setup.scratch + "/held" + std::to_string(run);
    mkdir(dir.c_str(), 0700);
    std::vector<std::string> args;
    if (layout.held > 0) args.insert(args.end(), {"--hold-frames", std::to_string(layout.held)});
    for (int o = 0; o < layout.outputs; ++o) args.push_back(std::to_string(width) + "x" + std::to_string(height));
    TestCompositor compositor;
    std::string error;
    if (!startTestCompositor(dir, args, compositor, error)) {
        std::fprintf(stderr, "orvel-bench: %s\n", error.c_str());
        return false;
    }
    const std::string errors = dir + "/saver.err";
    const std::string swaps = dir + "/saver.swaps";
    std::vector<std::string> environment = waylandEnvironment(setup, compositor.runtime, compositor.display);
    environment.insert(environment.end(), {"LD_PRELOAD=" + setup.probe, "ORVEL_PROBE_SWAP_FILE=" + swaps});
    LaunchedProgram launched;
    bool ok = launchProgram(setup.orvel, {setup.orvel, "/s"}, environment, errors, false, launched);
    if (ok) {
        pauseMs(WARM_UP_MS);
        const double cpuFrom = processCpuMs(launched.pid);
        const double swapsFrom = swapCount(swaps);
        const Commits from = commitsSoFar(compositor.report);
        pauseMs(TIMED_MS);
        const double cpuTo = processCpuMs(launched.pid);
        const double swapsTo = swapCount(swaps);
        Commits to = commitsSoFar(compositor.report);
        const int exitCode = endChild(launched.pid, EXIT_GRACE_MS);
        const double seconds = TIMED_MS / 1000.0;
        result.swapsPerSecond = (swapsTo - swapsFrom) / seconds;
        result.cpuMsPerSecond = (cpuTo - cpuFrom) / seconds;
        for (int o = 1; o <= layout.outputs && o <= 2; ++o) {
            const double before = from.lit.count(o) != 0 ? from.lit.at(o) : 0;
            result.litPerSecond[o - 1] = (to.lit[o] - before) / seconds;
        }
        const Commits end = commitsSoFar(compositor.report);
        if (layout.held > 0) {
            result.litOnHeld = end.lit.count(layout.held) != 0 ? end.lit.at(layout.held) : 0;
            result.blackOnHeld = end.black.count(layout.held) != 0 ? end.black.at(layout.held) : 0;
        }
        ok = exitCode == 0 && cpuFrom >= 0 && cpuTo >= 0;
        if (!ok) {
            std::fprintf(stderr, "orvel-bench: a run under the test compositor failed (exit code %d):\n", exitCode);
            showErrors(errors);
        }
    }
    stopTestCompositor(compositor);
    return ok;
}

}  // namespace

bool runHeldFrames(const WaylandSetup& setup, int width, int height, int turns) {
    if (testCompositorPath().empty()) {
        std::printf("Frames while no frame callbacks come: not measured, the test compositor\n"
                    "(tests/e2e/wayland/orvel-wayland-compositor, built with ORVEL_E2E) is missing.\n\n");
        return true;
    }
    std::vector<HeldRun> runs[LAYOUT_COUNT];
    int run = 0;
    for (int turn = 0; turn < turns; ++turn) {
        for (int l = 0; l < LAYOUT_COUNT; ++l) {
            std::fprintf(stderr, "orvel-bench: held-frames run %d of %d, %s...\n", turn + 1, turns, LAYOUTS[l].name);
            HeldRun result;
            if (!timeHeld(setup, LAYOUTS[l], width, height, ++run, result)) return false;
            runs[l].push_back(result);
        }
    }
    std::printf("Frames while the compositor sends no frame callbacks: orvel-wayland /s under the test\n"
                "compositor (outputs of %dx%d; --hold-frames never answers one output's callbacks), %d runs\n"
                "of each in turns, each %d s after %d s; medians. Swaps: eglSwapBuffers returned (orvel-probe);\n"
                "pictures: scene buffers (not black) the compositor saw committed; CPU: the process's.\n",
                width, height, turns, TIMED_MS / 1000, WARM_UP_MS / 1000);
    std::printf("%-22s %8s %14s %14s %9s   %s\n", "layout", "swaps/s", "pictures/s o1", "pictures/s o2", "CPU ms/s",
                "held output, whole run: scene / black");
    for (int l = 0; l < LAYOUT_COUNT; ++l) {
        std::vector<double> swaps, cpu, lit1, lit2, litHeld, blackHeld;
        for (const HeldRun& r : runs[l]) {
            swaps.push_back(r.swapsPerSecond);
            cpu.push_back(r.cpuMsPerSecond);
            lit1.push_back(r.litPerSecond[0]);
            lit2.push_back(r.litPerSecond[1]);
            litHeld.push_back(r.litOnHeld);
            blackHeld.push_back(r.blackOnHeld);
        }
        char second[16] = "-";
        if (LAYOUTS[l].outputs > 1) std::snprintf(second, sizeof second, "%.1f", spreadOf(lit2).median);
        char held[32] = "-";
        if (LAYOUTS[l].held > 0) {
            std::snprintf(held, sizeof held, "%.0f / %.0f", spreadOf(litHeld).median, spreadOf(blackHeld).median);
        }
        std::printf("%-22s %8.1f %14.1f %14s %9.1f   %s\n", LAYOUTS[l].name, spreadOf(swaps).median,
                    spreadOf(lit1).median, second, spreadOf(cpu).median, held);
    }
    std::printf("\n");
    return true;
}
