#pragma once
// Command line of orvel-bench. Without --size it measures every configuration, each in a
// child process of its own; with --size it measures that one configuration in-process.
// --x11 and --wine measure the real programs under an Xvfb of their own instead, and
// --wayland the Wayland program under sways of its own.
#include <string>

enum class BenchMode { headless, x11, wayland, wine };

struct BenchOptions {
    BenchMode mode = BenchMode::headless;
    std::string wineSaver;  // --wine: the Orvel.scr to run
    int runs = 20;          // --runs, for --x11, --wayland and --wine
    bool single = false;  // --size given: measure one configuration here
    int width = 0;
    int height = 0;
    bool low = false;     // --low: low detail
    bool rowsOnly = false;  // --rows: table rows without headers, for the parent process
};

enum class BenchParse { run, help, bad };

BenchParse parseBenchOptions(int argc, char** argv, BenchOptions& options, std::string& error);

const char* benchUsage();
