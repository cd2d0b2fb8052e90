// orvel-bench: prints what the real frame costs on headless EGL. Without arguments it runs
// itself once per configuration (three sizes, full and low detail), each in a fresh
// process because setupScene builds the scene's global state once per process, and
// gathers the children's rows into four tables: frame cost, one frame after a huge time
// step, heap allocations per frame, and the heap in use after set-up and after the frames.
#include <cstdio>
#include <string>
#include <vector>

#include "bench_options.h"
#include "child_process.h"
#include "configuration_run.h"
#include "report_format.h"
#include "wayland_run.h"
#include "wine_run.h"
#include "x11_run.h"

namespace {

struct Configuration {
    const char* size;
    bool low;
};

constexpr Configuration CONFIGURATIONS[] = {
    {"640x480", false},  {"640x480", true},   {"1280x720", false},
    {"1280x720", true},  {"1920x1080", false}, {"1920x1080", true},
};

int runAllConfigurations() {
    std::vector<std::string> rows[REPORT_TABLE_COUNT];
    std::vector<std::string> failures;
    std::string renderer = "?";

    for (const Configuration& configuration : CONFIGURATIONS) {
        std::vector<std::string> args = {"--size", configuration.size, "--rows"};
        if (configuration.low) {
            args.push_back("--low");
        }
        std::fprintf(stderr, "orvel-bench: measuring %s %s...\n", configuration.size,
                     configuration.low ? "low" : "full");
        std::vector<std::string> lines;
        const int status = runSelf(args, lines);
        if (status != EXIT_OK && status != EXIT_ALLOCATED) {
            std::fprintf(stderr, "orvel-bench: the %s %s run failed (exit code %d)\n", configuration.size,
                         configuration.low ? "low" : "full", status);
            return status == EXIT_NO_CONTEXT ? EXIT_NO_CONTEXT : 1;
        }
        for (const std::string& line : lines) {
            const std::size_t bar = line.find('|');
            if (bar == std::string::npos) {
                continue;
            }
            const std::string tag = line.substr(0, bar);
            const std::string text = line.substr(bar + 1);
            ReportTable table;
            if (reportTableOfTag(tag.c_str(), int(tag.size()), table)) {
                rows[int(table)].push_back(text);
            } else if (tag == RENDERER_TAG) {
                renderer = text;
            } else if (tag == FAIL_TAG) {
                failures.push_back(text);
            }
        }
    }

    std::printf("orvel-bench on %s\n", renderer.c_str());
    std::printf("Each configuration runs in a fresh process. The headless clock steps 16 or 17 ms a\n"
                "frame (1000/%d accumulated in whole ms), so scene time runs as in a %d fps run;\n"
                "frame 1 starts at scene time 0, and from frame 2 on the scene runs from 45 s,\n"
                "past the title, the fade-in and the rate text of the start.\n\n",
                CLOCK_FPS, CLOCK_FPS);
    for (int i = 0; i < REPORT_TABLE_COUNT; ++i) {
        printReportHeader(stdout, ReportTable(i));
        for (const std::string& row : rows[i]) {
            std::printf("%s\n", row.c_str());
        }
        std::printf("\n");
    }
    for (const std::string& failure : failures) {
        std::printf("%s\n", failure.c_str());
    }
    return failures.empty() ? EXIT_OK : EXIT_ALLOCATED;
}

}  // namespace

int main(int argc, char** argv) {
    BenchOptions options;
    std::string error;
    switch (parseBenchOptions(argc, argv, options, error)) {
    case BenchParse::help:
        std::fputs(benchUsage(), stdout);
        return EXIT_OK;
    case BenchParse::bad:
        std::fprintf(stderr, "orvel-bench: %s\n%s", error.c_str(), benchUsage());
        return EXIT_USAGE;
    case BenchParse::run:
        break;
    }
    switch (options.mode) {
    case BenchMode::x11:
        return runX11Bench(options);
    case BenchMode::wayland:
        return runWaylandBench(options);
    case BenchMode::wine:
        return runWineBench(options);
    case BenchMode::headless:
        break;
    }
    return options.single ? runConfiguration(options) : runAllConfigurations();
}
