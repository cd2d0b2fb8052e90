#include "wayland_run.h"

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "child_wait.h"
#include "configuration_run.h"
#include "probe_runs.h"
#include "program_launch.h"
#include "run_support.h"
#include "sway_server.h"

namespace {

constexpr int REPORT_TIMEOUT_MS = 60000;
constexpr int EXIT_GRACE_MS = 10000;
constexpr int COST_RUNS = 3;
constexpr int COST_SECONDS = 60;

struct Setup {
    std::string orvel;
    std::string floor;
    std::string probe;
    std::string scratch;
};

std::vector<std::string> environmentOf(const Setup& setup, const SwayServer& sway) {
    return {"XDG_RUNTIME_DIR=" + sway.runtime, "WAYLAND_DISPLAY=" + sway.display,
            "XDG_CONFIG_HOME=" + setup.scratch + "/config", "ORVEL_STATS=1"};
}

void showErrors(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) std::fprintf(stderr, "  %s\n", line.c_str());
}

// One start-up of the program with the probe preloaded, until the probe reports its first
// frame; then SIGTERM, or for the floor, which ends by itself, the wait for its end. False
// when it fails.
bool timeStartup(const Setup& setup, const SwayServer& sway, const std::string& program,
                 const std::vector<std::string>& args, ProbeReport& report, double& ownFirstFrame) {
    const bool endsItself = program == setup.floor;
    const std::string errors = setup.scratch + "/run.err";
    std::vector<std::string> environment = environmentOf(setup, sway);
    environment.insert(environment.end(), {"LD_PRELOAD=" + setup.probe, "ORVEL_PROBE_FD=3", "ORVEL_PROBE_FRAMES=1"});
    LaunchedProgram launched;
    if (!launchProgram(program, args, environment, errors, true, launched)) return false;
    std::string line;
    const bool reported = readLine(launched.reportFd, REPORT_TIMEOUT_MS, line);
    close(launched.reportFd);
    int exitCode = endsItself ? waitChild(launched.pid, EXIT_GRACE_MS) : -1;
    if (exitCode == -1) exitCode = endChild(launched.pid, EXIT_GRACE_MS);
    ownFirstFrame = statsFigure(errors, "first frame ");
    const bool parsed = reported && parseReport(line, report);
    if (parsed && exitCode == 0) return true;
    std::fprintf(stderr, "orvel-bench: a run of %s failed (%s, exit code %d); its standard error:\n",
                 program.c_str(), parsed ? "report read" : "no readable report from the probe", exitCode);
    showErrors(errors);
    return false;
}

struct CostRun {
    double frames;
    double periodMs;
    double frameMs;
};

// The saver for COST_SECONDS, then SIGTERM, and the figures of its ORVEL_STATS line.
bool timeFrames(const Setup& setup, const SwayServer& sway, CostRun& run) {
    const std::string errors = setup.scratch + "/cost.err";
    LaunchedProgram launched;
    if (!launchProgram(setup.orvel, {setup.orvel, "/s"}, environmentOf(setup, sway), errors, false, launched)) {
        return false;
    }
    const timespec measured{COST_SECONDS, 0};
    nanosleep(&measured, nullptr);
    const int exitCode = endChild(launched.pid, EXIT_GRACE_MS);
    run = {statsFigure(errors, "orvel stats: "), statsFigure(errors, "mean period "),
           statsFigure(errors, "mean frame time ")};
    if (exitCode == 0 && run.frameMs > 0) return true;
    std::fprintf(stderr, "orvel-bench: a frame-time run of orvel-wayland failed (exit code %d):\n", exitCode);
    showErrors(errors);
    return false;
}

void printCosts(const std::vector<CostRun> (&runs)[2], int width, int height) {
    std::printf("Frame time of orvel-wayland /s, one output and two of %dx%d side by side, %d runs each of\n"
                "%d s in turns; ORVEL_STATS's mean frame time: from a frame's start until its last swap\n"
                "returned, frame 2 on (the pacing's wait left out)\n",
                width, height, COST_RUNS, COST_SECONDS);
    std::printf("%-8s %8s %12s   %s\n", "outputs", "frames", "mean period", "mean frame time: min median max");
    double median[2] = {0, 0};
    for (int o = 0; o < 2; ++o) {
        if (runs[o].empty()) return;
        std::vector<double> frames, periods, times;
        for (const CostRun& run : runs[o]) {
            frames.push_back(run.frames);
            periods.push_back(run.periodMs);
            times.push_back(run.frameMs);
        }
        const Spread t = spreadOf(times);
        median[o] = t.median;
        std::printf("%-8d %8.0f %12.2f   %8.2f %8.2f %8.2f\n", o + 1, spreadOf(frames).median,
                    spreadOf(periods).median, t.min, t.median, t.max);
    }
    std::printf("the second output adds %.2f ms a frame; twice one output's frame time and 0.2 ms: %.2f ms\n\n",
                median[1] - median[0], 2 * median[0] + 0.2);
}

}  // namespace

int runWaylandBench(const BenchOptions& options) {
    Setup setup;
    setup.orvel = programBeside("orvel-wayland");
    setup.floor = programBeside("orvel-floor-wayland");
    setup.probe = programBeside("orvel-probe.so");
    for (const std::string& file : {setup.orvel, setup.floor, setup.probe}) {
        if (access(file.c_str(), R_OK) != 0) {
            std::fprintf(stderr, "orvel-bench: %s is missing: build the orvel_wayland, orvel-floor-wayland and "
                                 "orvel-probe targets\n", file.c_str());
            return EXIT_RUN_FAILED;
        }
    }
    setup.scratch = makeScratchDirectory("orvel-bench-wayland");
    if (setup.scratch.empty()) {
        std::fprintf(stderr, "orvel-bench: cannot make a scratch directory in /tmp\n");
        return EXIT_RUN_FAILED;
    }
    // sway runs as nobody when orvel-bench runs as root: it must reach its own folder.
    chmod(setup.scratch.c_str(), 0755);
    mkdir((setup.scratch + "/config").c_str(), 0700);
    if (options.low) std::ofstream(setup.scratch + "/config/Orvelconfig.ini") << "[param]\nlow=1\n";

    SwayServer sways[2];
    std::string error;
    bool failed = false;
    for (int o = 0; o < 2 && !failed; ++o) {
        const std::string dir = setup.scratch + "/sway" + std::to_string(o + 1);
        mkdir(dir.c_str(), 0700);
        failed = !startSway(dir, o + 1, options.width, options.height, sways[o], error);
        if (failed) std::fprintf(stderr, "orvel-bench: %s\n", error.c_str());
    }

    const std::string loadBefore = loadAverage();
    std::vector<ProbeReport> timed;
    std::vector<ProbeReport> floorRuns;
    std::vector<double> ownFirstFrame;
    for (int i = 0; i < options.runs && !failed; ++i) {
        std::fprintf(stderr, "orvel-bench: start-up run %d of %d, and the floor's...\n", i + 1, options.runs);
        ProbeReport orvel{};
        ProbeReport floor{};
        double own = -1;
        double unused = -1;
        failed = !timeStartup(setup, sways[0], setup.orvel, {setup.orvel, "/s"}, orvel, own) ||
                 !timeStartup(setup, sways[0], setup.floor, {setup.floor}, floor, unused);
        if (failed) break;
        timed.push_back(orvel);
        floorRuns.push_back(floor);
        ownFirstFrame.push_back(own);
    }
    std::vector<CostRun> costs[2];
    for (int i = 0; i < COST_RUNS && !failed; ++i) {
        for (int o = 0; o < 2 && !failed; ++o) {
            std::fprintf(stderr, "orvel-bench: frame-time run %d of %d with %d output(s)...\n", i + 1, COST_RUNS, o + 1);
            CostRun run{};
            failed = !timeFrames(setup, sways[o], run);
            if (!failed) costs[o].push_back(run);
        }
    }
    const std::string loadAfter = loadAverage();
    for (SwayServer& sway : sways) stopSway(sway);
    removeTree(setup.scratch);

    std::printf("orvel-bench --wayland: %s /s under headless sway (pixman), outputs of %dx%d (%s detail)\n",
                setup.orvel.c_str(), options.width, options.height, options.low ? "low" : "full");
    std::printf("load average before: %s, after: %s\n\n", loadBefore.c_str(), loadAfter.c_str());
    if (!timed.empty()) {
        printStartup("orvel-wayland /s", timed, ownFirstFrame);
        printAgainstFloor("orvel-floor-wayland", timed, floorRuns);
    }
    printCosts(costs, options.width, options.height);
    return failed ? EXIT_RUN_FAILED : EXIT_OK;
}
