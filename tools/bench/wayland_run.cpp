#include "wayland_run.h"

#include <sys/stat.h>
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
#include "wayland_costs.h"
#include "wayland_held.h"
#include "wayland_memory.h"
#include "wayland_setup.h"

namespace {

constexpr int REPORT_TIMEOUT_MS = 60000;
constexpr int EXIT_GRACE_MS = 10000;
constexpr int COST_TURNS = 3;
constexpr int HELD_TURNS = 2;

struct OwnFigures {
    double firstFrame = -1;  // ORVEL_STATS: first frame began, ms after main
    double covered = -1;     // ORVEL_STATS: covered, ms after main
};

// One start-up of the program with the probe preloaded, until the probe has seen the
// first frame on every output; then SIGTERM, or for the floor, which ends by itself, the
// wait for its end. False when it fails.
bool timeStartup(const WaylandSetup& setup, const CostLayout& layout, const std::string& program,
                 ProbeReport& report, OwnFigures& own) {
    const bool endsItself = program == setup.floor;
    const std::string errors = setup.scratch + "/run.err";
    std::vector<std::string> environment = waylandEnvironment(setup, layout.sway.runtime, layout.sway.display);
    const std::string outputs = std::to_string(layout.outputs);
    environment.insert(environment.end(), {"LD_PRELOAD=" + setup.probe, "ORVEL_PROBE_FD=3",
                                           "ORVEL_PROBE_FRAMES=" + outputs, "ORVEL_PROBE_OUTPUTS=" + outputs});
    LaunchedProgram launched;
    if (!launchProgram(program, {program, "/s"}, environment, errors, true, launched)) return false;
    std::string line;
    const bool reported = readLine(launched.reportFd, REPORT_TIMEOUT_MS, line);
    close(launched.reportFd);
    int exitCode = endsItself ? waitChild(launched.pid, EXIT_GRACE_MS) : -1;
    if (exitCode == -1) exitCode = endChild(launched.pid, EXIT_GRACE_MS);
    own.firstFrame = statsFigure(errors, "first frame ");
    own.covered = statsFigure(errors, "covered ");
    const bool parsed = reported && parseReport(line, report);
    if (parsed && exitCode == 0) return true;
    std::fprintf(stderr, "orvel-bench: a run of %s failed (%s, exit code %d); its standard error:\n",
                 program.c_str(), parsed ? "report read" : "no readable report from the probe", exitCode);
    showErrors(errors);
    return false;
}

struct StartupRuns {
    std::vector<ProbeReport> reports;
    std::vector<double> firstFrame, covered, coveredFromExec;

    void add(const ProbeReport& report, const OwnFigures& own) {
        reports.push_back(report);
        firstFrame.push_back(own.firstFrame);
        covered.push_back(own.covered);
        // The stats line counts from the program's start, just after main: add main's mark.
        coveredFromExec.push_back(own.covered >= 0 ? own.covered + double(report.marks[PROBE_MAIN]) / 1e6 : -1);
    }

    void print(const char* program) const {
        printStartup(program, reports,
                     {{"ORVEL_STATS: first frame began, ms after main", firstFrame},
                      {"ORVEL_STATS: covered, ms after main (1 ms steps)", covered},
                      {"  the same from exec (main entered + covered)", coveredFromExec}});
    }
};

}  // namespace

int runWaylandBench(const BenchOptions& options) {
    WaylandSetup setup;
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

    std::vector<CostLayout> layouts = costLayouts(options.width, options.height);
    std::string error;
    bool failed = false;
    for (std::size_t l = 0; l < layouts.size() && !failed; ++l) {
        const std::string dir = setup.scratch + "/sway" + std::to_string(l + 1);
        mkdir(dir.c_str(), 0700);
        failed = !startSway(dir, layouts[l].outputs, layouts[l].width, layouts[l].height, layouts[l].sway, error);
        if (failed) std::fprintf(stderr, "orvel-bench: %s\n", error.c_str());
    }
    const CostLayout& one = layouts[0];
    const CostLayout& three = layouts[2];

    const std::string loadBefore = loadAverage();
    StartupRuns orvelOne, floorRuns, orvelThree;
    for (int i = 0; i < options.runs && !failed; ++i) {
        std::fprintf(stderr, "orvel-bench: start-up run %d of %d: Orvel, the floor, Orvel on 3 outputs...\n", i + 1,
                     options.runs);
        ProbeReport report{};
        OwnFigures own;
        failed = !timeStartup(setup, one, setup.orvel, report, own);
        if (failed) break;
        orvelOne.add(report, own);
        failed = !timeStartup(setup, one, setup.floor, report, own);
        if (failed) break;
        floorRuns.add(report, own);
        failed = !timeStartup(setup, three, setup.orvel, report, own);
        if (!failed) orvelThree.add(report, own);
    }
    std::vector<std::vector<CostRun>> costs;
    if (!failed) failed = !timeCosts(setup, layouts, COST_TURNS, costs);
    MemoryRun memory;
    if (!failed) failed = !runMemory(setup, layouts[1], memory);
    for (CostLayout& layout : layouts) stopSway(layout.sway);
    const std::string loadMiddle = loadAverage();

    std::printf("orvel-bench --wayland: %s /s under headless sway (pixman), outputs of %dx%d (%s detail)\n",
                setup.orvel.c_str(), options.width, options.height, options.low ? "low" : "full");
    std::printf("load average before: %s, after the start-up and frame-cost runs: %s\n\n", loadBefore.c_str(),
                loadMiddle.c_str());
    if (!orvelOne.reports.empty()) {
        orvelOne.print("orvel-wayland /s, one output");
        printAgainstFloor("orvel-floor-wayland", orvelOne.reports, floorRuns.reports);
        orvelThree.print("orvel-wayland /s, three outputs side by side");
    }
    printCosts(layouts, costs);
    printMemory(layouts[1], memory);
    std::fflush(stdout);
    if (!failed) failed = !runHeldFrames(setup, 640, 480, HELD_TURNS);
    std::printf("load average at the end: %s\n", loadAverage().c_str());
    removeTree(setup.scratch);
    return failed ? EXIT_RUN_FAILED : EXIT_OK;
}
