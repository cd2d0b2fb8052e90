#include "bench_options.h"

#include <cstdio>
#include <cstring>

namespace {

// "WxH" with both sides from 1 to 16384 pixels, nothing before or after.
bool parseSize(const char* text, int& width, int& height) {
    char tail = 0;
    if (std::sscanf(text, "%dx%d%c", &width, &height, &tail) != 2) {
        return false;
    }
    return width >= 1 && width <= 16384 && height >= 1 && height <= 16384;
}

}  // namespace

BenchParse parseBenchOptions(int argc, char** argv, BenchOptions& options, std::string& error) {
    bool lowGiven = false;
    bool rowsGiven = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            return BenchParse::help;
        }
        if (std::strcmp(arg, "--size") == 0) {
            if (i + 1 >= argc) {
                error = "--size needs a value WxH";
                return BenchParse::bad;
            }
            const char* value = argv[++i];
            if (!parseSize(value, options.width, options.height)) {
                error = std::string("bad --size '") + value + "': expected WxH, e.g. 1280x720";
                return BenchParse::bad;
            }
            options.single = true;
        } else if (std::strcmp(arg, "--low") == 0) {
            options.low = true;
            lowGiven = true;
        } else if (std::strcmp(arg, "--rows") == 0) {
            options.rowsOnly = true;
            rowsGiven = true;
        } else {
            error = std::string("unknown argument '") + arg + "'";
            return BenchParse::bad;
        }
    }
    if (!options.single && (lowGiven || rowsGiven)) {
        error = "--low and --rows need --size";
        return BenchParse::bad;
    }
    return BenchParse::run;
}

const char* benchUsage() {
    return "usage: orvel-bench [--size WxH [--low] [--rows]]\n"
           "  Times the real scene set-up and frame on headless EGL and prints tables.\n"
           "  Without arguments every size (640x480, 1280x720, 1920x1080) is measured in full\n"
           "  and in low detail, each in a fresh child process; --size measures one.\n"
           "  --rows prints table rows only, tagged for the parent process.\n"
           "  Exit codes: 0 done, 1 no EGL display or OpenGL context, 2 bad arguments,\n"
           "  3 heap allocations after the first frame.\n";
}
