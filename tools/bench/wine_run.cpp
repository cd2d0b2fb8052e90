#include "wine_run.h"

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "child_wait.h"
#include "configuration_run.h"
#include "program_launch.h"
#include "run_support.h"
#include "screen_watch.h"
#include "xvfb_server.h"

namespace {

constexpr int SAVER_TIMEOUT_MS = 60000;
constexpr int POLL_MS = 5;

std::string firstExisting(const std::vector<std::string>& candidates) {
    for (const std::string& path : candidates) {
        if (access(path.c_str(), X_OK) == 0) return path;
    }
    return "";
}

struct WineSetup {
    std::string wine;
    std::string wineserver;
    std::string scratch;
    std::vector<std::string> environment;
};

// Runs a Wine command to its end; its exit code, or -1 after timeoutMs (then killed).
int runToEnd(const WineSetup& setup, const std::vector<std::string>& args, int timeoutMs, double* elapsedMs) {
    LaunchedProgram launched;
    if (!launchProgram(args[0], args, setup.environment, setup.scratch + "/wine.err", false, launched)) return -1;
    const int code = waitChild(launched.pid, timeoutMs);
    if (elapsedMs != nullptr) *elapsedMs = double(monotonicNs() - launched.launchNs) / 1e6;
    if (code == -1) endChild(launched.pid, 1000);
    return code;
}

void sleepMs(int ms) {
    const timespec pause{ms / 1000, long(ms % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

struct SaverRun {
    bool ok = false;
    double mappedMs = -1.0;
    double litMs = -1.0;
};

// One `Orvel.scr /s`: watched until the screen shows a lit pixel, then ended by moving
// the pointer, as a user would.
SaverRun runSaver(const WineSetup& setup, const std::string& saver, ScreenWatch& watch, int baseline) {
    SaverRun run;
    LaunchedProgram launched;
    if (!launchProgram(setup.wine, {setup.wine, saver, "/s"}, setup.environment, setup.scratch + "/saver.err", false,
                       launched)) {
        return run;
    }
    for (;;) {
        const double now = double(monotonicNs() - launched.launchNs) / 1e6;
        if (now > SAVER_TIMEOUT_MS) break;
        if (run.mappedMs < 0 && watch.mappedTopLevelWindows() > baseline) run.mappedMs = now;
        if (watch.anyLitPixel()) {
            run.litMs = double(monotonicNs() - launched.launchNs) / 1e6;
            break;
        }
        sleepMs(POLL_MS);
    }
    // Past the saver's start-up grace for the mouse, then moved far enough to end it.
    sleepMs(1500);
    watch.jiggle();
    int code = waitChild(launched.pid, 10000);
    if (code == -1) {
        std::fprintf(stderr, "orvel-bench: Orvel.scr did not end when the pointer moved; ending it\n");
        code = endChild(launched.pid, 2000);
    }
    run.ok = run.litMs >= 0 && watch.waitForTopLevelWindows(baseline, 10000, true);
    if (!run.ok) std::fprintf(stderr, "orvel-bench: a run of Orvel.scr /s failed (exit code %d)\n", code);
    return run;
}

void printRow(const char* what, const std::vector<double>& values) {
    if (values.empty()) {
        std::printf("%-50s %8s %8s %8s\n", what, "-", "-", "-");
        return;
    }
    const Spread s = spreadOf(values);
    std::printf("%-50s %8.1f %8.1f %8.1f\n", what, s.min, s.median, s.max);
}

}  // namespace

int runWineBench(const BenchOptions& options) {
    if (access(options.wineSaver.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "orvel-bench: no %s (build the windows preset)\n", options.wineSaver.c_str());
        return EXIT_RUN_FAILED;
    }
    char saverPath[4096];
    if (realpath(options.wineSaver.c_str(), saverPath) == nullptr) return EXIT_RUN_FAILED;
    WineSetup setup;
    setup.wine = firstExisting({"/usr/lib/wine/wine64", "/usr/bin/wine64", "/usr/bin/wine"});
    setup.wineserver = firstExisting({"/usr/lib/wine/wineserver64", "/usr/bin/wineserver"});
    if (setup.wine.empty() || setup.wineserver.empty()) {
        std::fprintf(stderr, "orvel-bench: wine64 is not installed (Debian: apt-get install wine wine64)\n");
        return EXIT_RUN_FAILED;
    }
    setup.scratch = makeScratchDirectory("orvel-bench-wine");
    if (setup.scratch.empty()) return EXIT_RUN_FAILED;

    XvfbServer server;
    std::string error;
    if (!startXvfb(options.width, options.height, server, error)) {
        std::fprintf(stderr, "orvel-bench: %s\n", error.c_str());
        removeTree(setup.scratch);
        return EXIT_RUN_FAILED;
    }
    setup.environment = {"DISPLAY=" + server.display, "WINEPREFIX=" + setup.scratch + "/prefix", "WINEDEBUG=-all",
                         "WINEDLLOVERRIDES=mscoree,mshtml=", "WINEARCH=win64"};
    ScreenWatch watch;
    bool failed = !watch.open(server.display) || mkdir((setup.scratch + "/prefix").c_str(), 0700) != 0;

    // A wineserver kept alive for the whole batch, and the prefix made once: the runs
    // then pay only what every start of a program under Wine pays.
    std::fprintf(stderr, "orvel-bench: making a Wine prefix in %s/prefix...\n", setup.scratch.c_str());
    failed = failed || runToEnd(setup, {setup.wineserver, "-p"}, 30000, nullptr) != 0;
    failed = failed || runToEnd(setup, {setup.wine, "wineboot", "--init"}, 600000, nullptr) != 0;
    if (failed) std::fprintf(stderr, "orvel-bench: wineserver or wineboot failed\n");
    // A first program, so that the desktop process and its windows are there for good.
    failed = failed || runToEnd(setup, {setup.wine, "cmd", "/c", "exit"}, 120000, nullptr) != 0;
    sleepMs(500);
    const int baseline = failed ? 0 : watch.mappedTopLevelWindows();

    const std::string loadBefore = loadAverage();
    std::vector<double> empty;
    for (int i = 0; i < options.runs && !failed; ++i) {
        std::fprintf(stderr, "orvel-bench: wine64 cmd /c exit, run %d of %d...\n", i + 1, options.runs);
        double elapsed = 0.0;
        failed = runToEnd(setup, {setup.wine, "cmd", "/c", "exit"}, 60000, &elapsed) != 0;
        if (!failed) empty.push_back(elapsed);
    }
    std::vector<double> mapped;
    std::vector<double> lit;
    for (int i = 0; i < options.runs && !failed; ++i) {
        std::fprintf(stderr, "orvel-bench: Orvel.scr /s, run %d of %d...\n", i + 1, options.runs);
        const SaverRun run = runSaver(setup, saverPath, watch, baseline);
        failed = !run.ok;
        if (run.mappedMs >= 0) mapped.push_back(run.mappedMs);
        if (run.litMs >= 0) lit.push_back(run.litMs);
    }
    const std::string loadAfter = loadAverage();

    runToEnd(setup, {setup.wineserver, "-k"}, 30000, nullptr);
    watch.close();
    stopXvfb(server);
    removeTree(setup.scratch);

    std::printf("orvel-bench --wine: %s /s under %s on Xvfb %dx%d, a throwaway prefix\n", saverPath,
                setup.wine.c_str(), options.width, options.height);
    std::printf("load average before: %s, after: %s\n\n", loadBefore.c_str(), loadAfter.c_str());
    std::printf("Start-up under Wine, ms from the launch of wine64 (%d runs, one wineserver for all)\n", options.runs);
    std::printf("%-50s %8s %8s %8s\n", "reached", "min", "median", "max");
    printRow("wine64 cmd /c exit: ended (Wine's own cost)", empty);
    printRow("Orvel.scr /s: a new window mapped", mapped);
    printRow("Orvel.scr /s: first non-black pixel on the screen", lit);
    std::printf("first non-black pixel, each run:");
    for (double value : lit) std::printf(" %.1f", value);
    std::printf("\nThe screen is read with XGetImage every %d ms once the previous read ends, so a\n"
                "figure is late by up to a read and a pause. The scene fades in from black: its first\n"
                "frame is black, so the first lit pixel shows the first frame after it.\n",
                POLL_MS);
    return failed ? EXIT_RUN_FAILED : EXIT_OK;
}
