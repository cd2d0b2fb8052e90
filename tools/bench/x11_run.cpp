#include "x11_run.h"

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "child_wait.h"
#include "configuration_run.h"
#include "probe_runs.h"
#include "program_launch.h"
#include "run_support.h"
#include "screen_watch.h"
#include "xvfb_server.h"

namespace {

constexpr int COUNTING_RUNS = 3;
constexpr int PIXEL_RUNS = 5;
constexpr int COUNTED_FRAMES = 300;
constexpr int REPORT_TIMEOUT_MS = 60000;
constexpr int EXIT_GRACE_MS = 10000;

struct Setup {
    std::string orvel;
    std::string floor;
    std::string probe;
    std::string scratch;
    std::string display;
    ScreenWatch* watch;
    int baselineWindows;
};

struct RunResult {
    bool ok = false;
    ProbeReport report{};
    double ownFirstFrameMs = -1.0;
    double litMs = -1.0;  // with watchPixels: the first non-black pixel, ms from the fork
    int exitCode = -1;
};

// One run of `orvel /s` (or of the floor): until the probe reports after `frames` frames
// (and with watchPixels until the screen shows a pixel that is not black), then SIGTERM,
// and the wait until its window has gone from the screen.
RunResult runOnce(const Setup& setup, int frames, bool countAllocations, bool watchPixels, bool floor = false) {
    RunResult result;
    const std::string errors = setup.scratch + "/orvel.err";
    const std::vector<std::string> environment = {
        "DISPLAY=" + setup.display,
        "LD_PRELOAD=" + setup.probe,
        "XDG_CONFIG_HOME=" + setup.scratch + "/config",
        "ORVEL_STATS=1",
        "ORVEL_PROBE_FD=3",
        "ORVEL_PROBE_FRAMES=" + std::to_string(frames),
        std::string("ORVEL_PROBE_COUNT=") + (countAllocations ? "1" : "0"),
    };
    LaunchedProgram launched;
    const std::string& program = floor ? setup.floor : setup.orvel;
    std::vector<std::string> args = {program};
    if (!floor) args.push_back("/s");
    if (!launchProgram(program, args, environment, errors, true, launched)) {
        std::fprintf(stderr, "orvel-bench: cannot start %s\n", program.c_str());
        return result;
    }
    while (watchPixels) {
        const double now = double(monotonicNs() - launched.launchNs) / 1e6;
        if (now > REPORT_TIMEOUT_MS) break;
        if (setup.watch->anyLitPixel()) {
            result.litMs = double(monotonicNs() - launched.launchNs) / 1e6;
            break;
        }
        const timespec pause{0, 5000000};
        nanosleep(&pause, nullptr);
    }
    std::string line;
    const bool reported = readLine(launched.reportFd, REPORT_TIMEOUT_MS, line);
    close(launched.reportFd);
    // The floor ends by itself after its frame.
    result.exitCode = floor ? waitChild(launched.pid, EXIT_GRACE_MS) : -1;
    if (result.exitCode == -1) result.exitCode = endChild(launched.pid, EXIT_GRACE_MS);
    result.ok = reported && parseReport(line, result.report) && result.exitCode == 0;
    result.ownFirstFrameMs = statsFigure(errors, "first frame ");
    if (!result.ok) {
        std::fprintf(stderr, "orvel-bench: a run of %s failed (%s, exit code %d); its standard error:\n",
                     program.c_str(), reported ? "report unreadable" : "no report from the probe", result.exitCode);
        std::ifstream in(errors);
        std::fprintf(stderr, "%s", std::string(std::istreambuf_iterator<char>(in), {}).c_str());
    }
    if (!setup.watch->waitForTopLevelWindows(setup.baselineWindows, 10000)) {
        std::fprintf(stderr, "orvel-bench: the saver's window is still on the screen 10 s after it ended\n");
        result.ok = false;
    }
    return result;
}

// The --wine method on this program: how much later than the first frame presented the
// screen shows a pixel that is not black.
double ms(std::int64_t ns) { return double(ns) / 1e6; }

void printPixelCheck(const std::vector<RunResult>& runs) {
    std::vector<double> lit;
    std::vector<double> late;
    for (const RunResult& run : runs) {
        if (run.litMs < 0) continue;
        lit.push_back(run.litMs);
        late.push_back(run.litMs - ms(run.report.marks[PROBE_FIRST_SWAP]));
    }
    if (lit.empty()) return;
    std::printf("The screen watched as --wine does (%zu runs more), ms     min   median      max\n", runs.size());
    const Spread a = spreadOf(lit);
    const Spread b = spreadOf(late);
    std::printf("%-52s %8.1f %8.1f %8.1f\n", "first non-black pixel, from the fork", a.min, a.median, a.max);
    std::printf("%-52s %8.1f %8.1f %8.1f\n\n", "  later than the first frame presented by", b.min, b.median, b.max);
}

std::string pair(std::uint64_t a, std::uint64_t b) { return std::to_string(a) + "/" + std::to_string(b); }

// Prints the allocation rows of one run; true when Orvel's code allocated after frame 1.
bool printAllocationRows(int run, const ProbeReport& report) {
    char laterFrames[32];
    std::snprintf(laterFrames, sizeof laterFrames, "frames 2..%d", COUNTED_FRAMES);
    const char* names[PROBE_PERIOD_COUNT] = {"set-up", "frame 1", laterFrames};
    bool allocated = false;
    for (int p = 0; p < PROBE_PERIOD_COUNT; ++p) {
        std::uint64_t d[PROBE_KIND_COUNT][2];
        for (int k = 0; k < PROBE_KIND_COUNT; ++k) {
            for (int o = 0; o < 2; ++o) {
                d[k][o] = report.counts[p][k][o] - (p > 0 ? report.counts[p - 1][k][o] : 0);
            }
        }
        if (p == PROBE_LATER_FRAMES) {
            for (int k = 0; k < PROBE_KIND_COUNT; ++k) allocated = allocated || d[k][0] != 0;
        }
        std::printf("%3d  %-14s %12s %14s    %12s %14s\n", run, names[p],
                    pair(d[PROBE_NEW][0], d[PROBE_DELETE][0]).c_str(),
                    pair(d[PROBE_MALLOC][0], d[PROBE_FREE][0]).c_str(),
                    pair(d[PROBE_NEW][1], d[PROBE_DELETE][1]).c_str(),
                    pair(d[PROBE_MALLOC][1], d[PROBE_FREE][1]).c_str());
    }
    return allocated;
}

void printAllocationHeader(int width, int height) {
    std::printf("Heap calls in orvel /s at %dx%d, by origin (%d frames a run; frames end where\n"
                "glXSwapBuffers returns, frame 1 starts where the window is mapped after set-up)\n",
                width, height, COUNTED_FRAMES);
    std::printf("%-19s %-27s    %s\n", "", "by Orvel's code", "by libraries");
    std::printf("%3s  %-14s %12s %14s    %12s %14s\n", "run", "period", "new/delete", "malloc/free", "new/delete",
                "malloc/free");
}

}  // namespace

int runX11Bench(const BenchOptions& options) {
    Setup setup;
    setup.orvel = programBeside("orvel");
    setup.floor = programBeside("orvel-floor-glx");
    setup.probe = programBeside("orvel-probe.so");
    for (const std::string& file : {setup.orvel, setup.floor, setup.probe}) {
        if (access(file.c_str(), R_OK) != 0) {
            std::fprintf(stderr, "orvel-bench: %s is missing: build the orvel, orvel-floor-glx and orvel-probe "
                                 "targets\n",
                         file.c_str());
            return EXIT_RUN_FAILED;
        }
    }
    setup.scratch = makeScratchDirectory("orvel-bench-x11");
    if (setup.scratch.empty()) {
        std::fprintf(stderr, "orvel-bench: cannot make a scratch directory in /tmp\n");
        return EXIT_RUN_FAILED;
    }
    const std::string config = setup.scratch + "/config";
    mkdir(config.c_str(), 0700);
    if (options.low) {
        std::ofstream(config + "/Orvelconfig.ini") << "[param]\nlow=1\n";
    }

    XvfbServer server;
    std::string error;
    if (!startXvfb(options.width, options.height, server, error)) {
        std::fprintf(stderr, "orvel-bench: %s\n", error.c_str());
        removeTree(setup.scratch);
        return EXIT_RUN_FAILED;
    }
    ScreenWatch watch;
    if (!watch.open(server.display)) {
        std::fprintf(stderr, "orvel-bench: cannot open Xvfb's display %s\n", server.display.c_str());
        stopXvfb(server);
        removeTree(setup.scratch);
        return EXIT_RUN_FAILED;
    }
    setup.display = server.display;
    setup.watch = &watch;
    setup.baselineWindows = watch.topLevelWindows();

    const std::string loadBefore = loadAverage();
    std::vector<ProbeReport> timed;
    std::vector<ProbeReport> floorRuns;
    std::vector<double> ownFirstFrame;
    bool failed = false;
    for (int i = 0; i < options.runs && !failed; ++i) {
        std::fprintf(stderr, "orvel-bench: start-up run %d of %d, and the floor's...\n", i + 1, options.runs);
        const RunResult run = runOnce(setup, 1, false, false);
        const RunResult floor = run.ok ? runOnce(setup, 1, false, false, true) : RunResult{};
        failed = !run.ok || !floor.ok;
        if (failed) break;
        timed.push_back(run.report);
        ownFirstFrame.push_back(run.ownFirstFrameMs);
        floorRuns.push_back(floor.report);
    }
    std::vector<RunResult> watched;
    for (int i = 0; i < PIXEL_RUNS && !failed; ++i) {
        std::fprintf(stderr, "orvel-bench: run %d of %d with the screen watched...\n", i + 1, PIXEL_RUNS);
        RunResult run = runOnce(setup, 1, false, true);
        failed = !run.ok;
        if (run.ok) watched.push_back(run);
    }
    std::vector<RunResult> counted;
    for (int i = 0; i < COUNTING_RUNS && !failed; ++i) {
        std::fprintf(stderr, "orvel-bench: counting run %d of %d...\n", i + 1, COUNTING_RUNS);
        RunResult run = runOnce(setup, COUNTED_FRAMES, true, false);
        failed = !run.ok;
        if (run.ok) counted.push_back(run);
    }
    const std::string loadAfter = loadAverage();
    watch.close();
    stopXvfb(server);
    removeTree(setup.scratch);

    std::printf("orvel-bench --x11: %s /s on Xvfb %dx%d (%s detail), %s preloaded\n", setup.orvel.c_str(),
                options.width, options.height, options.low ? "low" : "full", setup.probe.c_str());
    std::printf("load average before: %s, after: %s\n\n", loadBefore.c_str(), loadAfter.c_str());
    if (!timed.empty()) {
        printStartup("orvel /s", timed, {{"ORVEL_STATS: first frame began, ms after main", ownFirstFrame}});
        printAgainstFloor("orvel-floor-glx", timed, floorRuns);
    }
    printPixelCheck(watched);
    bool allocated = false;
    if (!counted.empty()) {
        printAllocationHeader(options.width, options.height);
        for (std::size_t i = 0; i < counted.size(); ++i) {
            allocated = printAllocationRows(int(i) + 1, counted[i].report) || allocated;
        }
        std::printf("new/delete: calls of operator new and delete; malloc/free: of malloc, calloc, realloc,\n"
                    "the aligned forms, and of free. Orvel's code: called from the executable, directly or\n"
                    "through the C and C++ runtimes; libraries: everything else (Xlib, GLX, Mesa, LLVM).\n");
        for (const RunResult& run : counted) {
            for (std::uint64_t place : run.report.places) {
                if (place != 0) std::printf("Orvel's code allocated after frame 1 at orvel+0x%llx\n",
                                            static_cast<unsigned long long>(place));
            }
        }
    }
    if (failed) return EXIT_RUN_FAILED;
    if (allocated) {
        std::printf("FAIL: Orvel's code called the heap in frames 2..%d; there must be no call\n", COUNTED_FRAMES);
        return EXIT_ALLOCATED;
    }
    return EXIT_OK;
}
