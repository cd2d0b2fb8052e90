#include "bench_options.h"

#include <cstdio>
#include <cstring>

#include "frame_size.h"

namespace {

// A whole number from 1 to 1000, nothing before or after.
bool parseRuns(const char* text, int& runs) {
    char tail = 0;
    if (std::sscanf(text, "%d%c", &runs, &tail) != 1 || text[0] < '0' || text[0] > '9') {
        return false;
    }
    return runs >= 1 && runs <= 1000;
}

}  // namespace

BenchParse parseBenchOptions(int argc, char** argv, BenchOptions& options, std::string& error) {
    bool lowGiven = false;
    bool rowsGiven = false;
    bool runsGiven = false;
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
            if (!parseFrameSize(value, options.width, options.height)) {
                error = std::string("bad --size '") + value + "': expected WxH, e.g. 1280x720";
                return BenchParse::bad;
            }
            options.single = true;
        } else if (std::strcmp(arg, "--low") == 0) {
            options.low = true;
            lowGiven = true;
        } else if (std::strcmp(arg, "--x11") == 0 || std::strcmp(arg, "--wayland") == 0 ||
                   std::strcmp(arg, "--wine") == 0) {
            if (options.mode != BenchMode::headless) {
                error = "--x11, --wayland and --wine go alone";
                return BenchParse::bad;
            }
            options.mode = arg[2] == 'x' ? BenchMode::x11 : arg[3] == 'a' ? BenchMode::wayland : BenchMode::wine;
            if (options.mode == BenchMode::wine) {
                if (i + 1 >= argc) {
                    error = "--wine needs the path of Orvel.scr";
                    return BenchParse::bad;
                }
                options.wineSaver = argv[++i];
            }
        } else if (std::strcmp(arg, "--runs") == 0) {
            if (i + 1 >= argc || !parseRuns(argv[i + 1], options.runs)) {
                error = std::string("bad --runs '") + (i + 1 < argc ? argv[i + 1] : "") + "': expected 1 to 1000";
                return BenchParse::bad;
            }
            ++i;
            runsGiven = true;
        } else if (std::strcmp(arg, "--rows") == 0) {
            options.rowsOnly = true;
            rowsGiven = true;
        } else {
            error = std::string("unknown argument '") + arg + "'";
            return BenchParse::bad;
        }
    }
    if (options.mode != BenchMode::headless) {
        if (rowsGiven || (lowGiven && options.mode == BenchMode::wine)) {
            error = rowsGiven ? "--rows is for the headless runs only" : "--low is not for --wine";
            return BenchParse::bad;
        }
        if (!options.single) {
            options.width = options.mode == BenchMode::wayland ? 1920 : 640;
            options.height = options.mode == BenchMode::wayland ? 1080 : 480;
        }
        return BenchParse::run;
    }
    if (runsGiven) {
        error = "--runs needs --x11, --wayland or --wine";
        return BenchParse::bad;
    }
    if (!options.single && (lowGiven || rowsGiven)) {
        error = "--low and --rows need --size";
        return BenchParse::bad;
    }
    return BenchParse::run;
}

const char* benchUsage() {
    return "usage: orvel-bench [--size WxH [--low] [--rows]]\n"
           "       orvel-bench --x11 [--size WxH] [--low] [--runs N]\n"
           "       orvel-bench --wayland [--size WxH] [--low] [--runs N]\n"
           "       orvel-bench --wine ORVEL_SCR [--size WxH] [--runs N]\n"
           "  Times the real scene set-up and frame on headless EGL and prints tables.\n"
           "  Without arguments every size (640x480, 1280x720, 1920x1080) is measured in full\n"
           "  and in low detail, each in a fresh child process; --size measures one.\n"
           "  --rows prints table rows only, tagged for the parent process.\n"
           "  --x11 runs the X11 program beside orvel-bench, `orvel /s`, N times (20) on an Xvfb\n"
           "  of its own (640x480 unless --size) with orvel-probe.so preloaded: start-up from\n"
           "  exec to the first glXSwapBuffers, in turns with orvel-floor-glx, and heap calls per\n"
           "  frame by origin in 3 more runs.\n"
           "  --wayland runs `orvel-wayland /s` N times (20) under headless sways of its own\n"
           "  (outputs of 1920x1080 unless --size), in turns with orvel-floor-wayland and with\n"
           "  itself on three outputs, all with orvel-probe.so preloaded: start-up from exec to\n"
           "  every output covered and to the first eglSwapBuffers; then the frame time and CPU\n"
           "  time per frame with 1, 2 and 3 outputs and with one output of 2 and 3 times the\n"
           "  width, 3 runs each in turns; its resident set over a minute on two outputs; then\n"
           "  frames drawn while the test compositor sends no frame callbacks.\n"
           "  --wine runs `Orvel.scr /s` under wine64 in a throwaway prefix N times (20): start-up\n"
           "  until the screen shows the scene's first non-black pixels.\n"
           "  Exit codes: 0 done, 1 no EGL display or OpenGL context, 2 bad arguments,\n"
           "  3 heap allocations after the first frame, 4 an --x11 or --wine run failed.\n";
}
