#include "wayland_costs.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "child_wait.h"
#include "probe_runs.h"
#include "program_launch.h"
#include "run_support.h"

namespace {

constexpr int WARM_UP_MS = 5000;
constexpr int TIMED_MS = 25000;
constexpr int EXIT_GRACE_MS = 10000;

// The frames shown on the output that showed fewest and on all outputs together, from the
// ", NAME buffer WxH shown N" parts of the ORVEL_STATS line; -1 without them.
void framesShown(const std::string& stderrPath, double& fewest, double& all) {
    std::ifstream in(stderrPath);
    std::string line;
    fewest = -1;
    all = -1;
    while (std::getline(in, line)) {
        if (line.rfind("orvel stats:", 0) != 0) continue;
        for (std::size_t at = line.find(" shown "); at != std::string::npos; at = line.find(" shown ", at + 1)) {
            const double shown = std::atof(line.c_str() + at + 7);
            if (fewest < 0 || shown < fewest) fewest = shown;
            all = (all < 0 ? 0 : all) + shown;
        }
    }
}

// The saver for WARM_UP_MS and TIMED_MS, then SIGTERM. The CPU time per frame counts the
// timed part only: set-up and the driver's first frames are left out.
bool timeFrames(const WaylandSetup& setup, const CostLayout& layout, CostRun& run) {
    const std::string errors = setup.scratch + "/cost.err";
    const std::string swaps = setup.scratch + "/cost.swaps";
    std::remove(swaps.c_str());
    std::vector<std::string> environment = waylandEnvironment(setup, layout.sway.runtime, layout.sway.display);
    environment.insert(environment.end(), {"LD_PRELOAD=" + setup.probe, "ORVEL_PROBE_SWAP_FILE=" + swaps});
    LaunchedProgram launched;
    if (!launchProgram(setup.orvel, {setup.orvel, "/s"}, environment, errors, false, launched)) return false;
    pauseMs(WARM_UP_MS);
    const double cpuFrom = processCpuMs(launched.pid);
    const double swapsFrom = swapCount(swaps);
    pauseMs(TIMED_MS);
    const double cpuTo = processCpuMs(launched.pid);
    const double swapsTo = swapCount(swaps);
    const int exitCode = endChild(launched.pid, EXIT_GRACE_MS);
    run.frames = statsFigure(errors, "orvel stats: ");
    run.periodMs = statsFigure(errors, "mean period ");
    run.frameMs = statsFigure(errors, "mean frame time ");
    framesShown(errors, run.fewestShown, run.allShown);
    // Frames that skipped an output cost less: the busy time over the frames' worth of
    // pictures shown (every output's once).
    run.wholeFrameMs = run.allShown > 0 ? run.frameMs * run.frames * layout.outputs / run.allShown : -1;
    run.framesTimed = (swapsTo - swapsFrom) / layout.outputs;
    run.cpuPerFrameMs = run.framesTimed > 0 ? (cpuTo - cpuFrom) / run.framesTimed : -1;
    if (exitCode == 0 && run.frameMs > 0 && cpuFrom >= 0 && cpuTo >= 0) return true;
    std::fprintf(stderr, "orvel-bench: a frame-cost run of orvel-wayland failed (exit code %d):\n", exitCode);
    showErrors(errors);
    return false;
}

}  // namespace

std::vector<CostLayout> costLayouts(int width, int height) {
    return {{1, width, height, {}}, {2, width, height, {}}, {3, width, height, {}},
            {1, 2 * width, height, {}}, {1, 3 * width, height, {}}};
}

bool timeCosts(const WaylandSetup& setup, const std::vector<CostLayout>& layouts, int turns,
               std::vector<std::vector<CostRun>>& runs) {
    runs.assign(layouts.size(), {});
    for (int turn = 0; turn < turns; ++turn) {
        for (std::size_t l = 0; l < layouts.size(); ++l) {
            std::fprintf(stderr, "orvel-bench: frame-cost run %d of %d, %d x %dx%d...\n", turn + 1, turns,
                         layouts[l].outputs, layouts[l].width, layouts[l].height);
            CostRun run;
            if (!timeFrames(setup, layouts[l], run)) return false;
            runs[l].push_back(run);
        }
    }
    return true;
}

void printCosts(const std::vector<CostLayout>& layouts, const std::vector<std::vector<CostRun>>& runs) {
    if (runs.empty() || runs[0].empty()) return;
    std::printf("Frame cost of orvel-wayland /s, %zu runs of each layout in turns, each %d s after %d s of\n"
                "warm-up. Frame time: ORVEL_STATS's mean, from a frame's start until its last swap returned\n"
                "(frame 2 on, the waits for frame callbacks left out). CPU: the process's user and system\n"
                "time (all its threads, llvmpipe's too) over the timed part, per frame. Shown: the frames\n"
                "shown on the output that showed fewest, of all frames; whole frame: the frame time over the\n"
                "pictures shown, every output's once (a frame that left an output out cost less). Medians.\n",
                runs[0].size(), TIMED_MS / 1000, WARM_UP_MS / 1000);
    std::printf("%-20s %7s %7s %7s %11s   %-22s %11s %9s\n", "layout", "pixels", "frames", "shown", "mean period",
                "frame time: min med max", "whole frame", "CPU/frame");
    std::vector<double> frameMedian(layouts.size(), 0), cpuMedian(layouts.size(), 0);
    for (std::size_t l = 0; l < layouts.size(); ++l) {
        std::vector<double> frames, shown, periods, times, whole, cpu;
        for (const CostRun& run : runs[l]) {
            whole.push_back(run.wholeFrameMs);
            frames.push_back(run.frames);
            shown.push_back(run.frames > 0 ? 100.0 * run.fewestShown / run.frames : 0);
            periods.push_back(run.periodMs);
            times.push_back(run.frameMs);
            cpu.push_back(run.cpuPerFrameMs);
        }
        const Spread t = spreadOf(times);
        frameMedian[l] = spreadOf(whole).median;
        cpuMedian[l] = spreadOf(cpu).median;
        char name[40];
        std::snprintf(name, sizeof name, "%d x %dx%d", layouts[l].outputs, layouts[l].width, layouts[l].height);
        std::printf("%-20s %6.1fM %7.0f %6.0f%% %11.2f   %6.2f %6.2f %6.2f   %11.2f %9.2f\n", name,
                    double(layouts[l].outputs) * layouts[l].width * layouts[l].height / 1e6, spreadOf(frames).median,
                    spreadOf(shown).median, spreadOf(periods).median, t.min, t.median, t.max, frameMedian[l],
                    cpuMedian[l]);
    }
    std::printf("each run, whole frame / CPU a frame, ms:\n");
    for (std::size_t l = 0; l < layouts.size(); ++l) {
        std::printf("  %d x %dx%d:", layouts[l].outputs, layouts[l].width, layouts[l].height);
        for (const CostRun& run : runs[l]) std::printf("  %.2f / %.2f", run.wholeFrameMs, run.cpuPerFrameMs);
        std::printf("\n");
    }
    // Layouts 1 and 2 (two and three outputs) against 3 and 4 (one output of their pixels).
    for (std::size_t l = 1; l <= 2 && l + 2 < layouts.size(); ++l) {
        const std::size_t same = l + 2;
        const int further = layouts[l].outputs - 1;
        std::printf("%d outputs against one of their pixels: whole frame %.2f against %.2f ms, %.2fx (aim 1.1x); "
                    "CPU %.2f against %.2f ms a frame, %+.2f ms (aim %+.1f ms)\n",
                    layouts[l].outputs, frameMedian[l], frameMedian[same], frameMedian[l] / frameMedian[same],
                    cpuMedian[l], cpuMedian[same], cpuMedian[l] - cpuMedian[same], 0.5 * further);
    }
    std::printf("\n");
}
