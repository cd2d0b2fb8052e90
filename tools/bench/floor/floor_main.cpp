// orvel-floor: Orvel's frame side by side with a floor, the same frame's OpenGL calls
// replayed from a flat array with no scene logic at all. At start-up orvel-floor-capture
// records frame 182 of the real scene (scene time 45 s) and the frames after it through a
// layer in front of every OpenGL entry point; here the scene is run to the same point, the
// first replay is checked to draw exactly frame 182's pixels, and then Orvel's frames 182,
// 183, ... and replays of their own recordings take turns on the one context, each timed
// without and with glFinish. Frame by frame, both sides draw the same picture: what the
// scene costs to fill changes from frame to frame as the camera moves, which a single
// replayed frame would leave in the comparison (--same-frame shows it).
//
// Without --size it runs itself once per size (640x480, 1280x720, 1920x1080), each in a
// fresh process because setupScene builds the scene's global state once per process, and
// prints one table.
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "frame/frame_driver.h"
#include "frame/scene_globals.h"
#include "frame_recording.h"
#include "headless_scene.h"
#include "program_run.h"
#include "steady_frames.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;
constexpr int DEFAULT_FRAMES = 300;
constexpr const char* SIZES[] = {"640x480", "1280x720", "1920x1080"};

// Tags of the lines a child prints for its parent.
constexpr char ROW_TAG[] = "row|";
constexpr char RENDERER_TAG[] = "gl|";
constexpr char FRAME_TAG[] = "frame|";

const char USAGE[] =
    "usage: orvel-floor [--low] [--frames N] [--same-frame] [--size WxH [--rows]]\n"
    "  Times Orvel's whole frame against a floor: the same frame's OpenGL calls replayed\n"
    "  from a flat array, with no scene logic. Orvel's frames 182.. (from scene time 45 s)\n"
    "  and replays of the same frames, recorded at start-up, take turns, N of each\n"
    "  (default 300), on headless EGL. --same-frame replays frame 182 every time.\n"
    "  Without --size every size (640x480, 1280x720, 1920x1080) runs in a fresh child\n"
    "  process; --size measures one here, --rows prints its row for the parent.\n"
    "  Needs orvel-floor-capture in the same directory.\n"
    "  Exit codes: 0 done, 1 failed (no OpenGL context, no capture, replay not exact),\n"
    "  2 bad arguments.\n";

struct Options {
    bool single = false;
    int width = 0;
    int height = 0;
    bool low = false;
    bool rowsOnly = false;
    bool sameFrame = false;
    int frames = DEFAULT_FRAMES;
};

enum class Parse { run, help, bad };

Parse parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            return Parse::help;
        } else if (std::strcmp(arg, "--size") == 0 && value != nullptr &&
                   parseFrameSize(value, options.width, options.height)) {
            options.single = true;
            ++i;
        } else if (std::strcmp(arg, "--frames") == 0 && value != nullptr && parseFrameCount(value, options.frames)) {
            ++i;
        } else if (std::strcmp(arg, "--same-frame") == 0) {
            options.sameFrame = true;
        } else if (std::strcmp(arg, "--low") == 0) {
            options.low = true;
        } else if (std::strcmp(arg, "--rows") == 0) {
            options.rowsOnly = true;
        } else {
            return Parse::bad;
        }
    }
    return options.rowsOnly && !options.single ? Parse::bad : Parse::run;
}

double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    return n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
}

struct Samples {
    std::vector<double> submit;  // the frame's calls, up to the buffer swap
    std::vector<double> total;   // the same and glFinish
};

template <typename Draw>
void timeOne(Samples& samples, Draw draw) {
    const Clock::time_point start = Clock::now();
    draw();
    const Clock::time_point submitted = Clock::now();
    glFinish();
    const Clock::time_point finished = Clock::now();
    samples.submit.push_back(msBetween(start, submitted));
    samples.total.push_back(msBetween(start, finished));
}

std::string sizeText(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

// Records the frames in orvel-floor-capture at this size and detail.
bool captureFrames(const Options& options, CaptureInfo& info, std::vector<FrameRecording>& recordings) {
    const int count = options.sameFrame ? 1 : options.frames;
    std::vector<std::string> args = {"--size", sizeText(options.width, options.height), "--frames",
                                     std::to_string(count)};
    if (options.low) {
        args.push_back("--low");
    }
    const std::string capture = programBeside("orvel-floor-capture");
    std::string bytes;
    const int status = runProgram(capture, args, bytes);
    if (status != 0) {
        std::fprintf(stderr, "orvel-floor: %s failed (exit code %d)\n", capture.c_str(), status);
        return false;
    }
    std::string error;
    if (!readRecordings(bytes, info, recordings, error) || int(recordings.size()) != count) {
        std::fprintf(stderr, "orvel-floor: bad recording from %s: %s\n", capture.c_str(),
                     error.empty() ? "wrong number of frames" : error.c_str());
        return false;
    }
    return true;
}

void printHeader(const Options& options) {
    if (options.sameFrame) {
        std::printf("Orvel's frames %d..%d against as many replays of frame %d, taken in turns; medians, ms\n",
                    WARM_UP_FRAMES + 1, WARM_UP_FRAMES + options.frames, WARM_UP_FRAMES + 1);
    } else {
        std::printf("Orvel's frames %d..%d against replays of the same frames, taken in turns; medians, ms\n",
                    WARM_UP_FRAMES + 1, WARM_UP_FRAMES + options.frames);
    }
    std::printf("%-17s %-30s    %s\n", "", "submit: calls up to the swap", "whole frame: submit + glFinish");
    std::printf("%-10s %-6s %8s %8s %8s    %8s %8s %7s %7s\n", "size", "detail", "Orvel", "floor", "extra", "Orvel",
                "floor", "ratio", "paired");
}

int runConfiguration(const Options& options) {
    CaptureInfo info;
    std::vector<FrameRecording> recordings;
    if (!captureFrames(options, info, recordings)) {
        return EXIT_FAILED;
    }
    RecordingSummary first;
    std::string error;
    summarizeRecording(recordings[0], first, error);

    WindowHandle window = startHeadlessScene(options.width, options.height, options.low);
    if (window == nullptr) {
        std::fprintf(stderr, "orvel-floor: no EGL display or OpenGL context\n");
        return EXIT_FAILED;
    }
    runWarmUp(window);
    DeviceContext dc = renderDevice.context.deviceContext;

    // Here, before Orvel draws the recorded frame, the replay must draw exactly that frame: the
    // recording holds every call, and this context's texture names are the recorded ones.
    replayFrame(recordings[0], dc);
    const std::vector<unsigned char> pixels = readFramePixels(options.width, options.height);
    if (hashBytes(pixels.data(), pixels.size()) != info.pixelHash) {
        std::fprintf(stderr, "orvel-floor: the replay draws other pixels than Orvel's frame %d\n", info.firstFrame);
        return EXIT_FAILED;
    }

    // Turns alternate which of the two goes first, so neither always follows the other.
    Samples orvel;
    Samples replays;
    int k = WARM_UP_FRAMES;
    for (int i = 0; i < options.frames; ++i) {
        const auto orvelFrame = [&] { runClockedFrame(window, k); };
        const FrameRecording& recording = recordings[options.sameFrame ? 0 : std::size_t(i)];
        const auto floorFrame = [&] { replayFrame(recording, dc); };
        if (i % 2 == 0) {
            timeOne(orvel, orvelFrame);
            timeOne(replays, floorFrame);
        } else {
            timeOne(replays, floorFrame);
            timeOne(orvel, orvelFrame);
        }
        ++k;
    }

    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const double orvelSubmit = median(orvel.submit);
    const double floorSubmit = median(replays.submit);
    const double orvelTotal = median(orvel.total);
    const double floorTotal = median(replays.total);
    // Each turn's two frames ran moments apart, so their ratio is spared most of the
    // machine's drift; the median of these is the steadier figure.
    std::vector<double> ratios;
    for (std::size_t i = 0; i < orvel.total.size(); ++i) {
        ratios.push_back(orvel.total[i] / replays.total[i]);
    }
    char row[256];
    std::snprintf(row, sizeof row, "%-10s %-6s %8.3f %8.3f %8.3f    %8.3f %8.3f %7.3f %7.3f",
                  sizeText(options.width, options.height).c_str(), options.low ? "low" : "full", orvelSubmit,
                  floorSubmit, orvelSubmit - floorSubmit, orvelTotal, floorTotal, orvelTotal / floorTotal,
                  median(ratios));
    const int last = info.firstFrame + int(recordings.size()) - 1;
    const std::string replayed = recordings.size() == 1
                                     ? "frame " + std::to_string(info.firstFrame)
                                     : "frames " + std::to_string(info.firstFrame) + ".." + std::to_string(last);
    char frame[256];
    std::snprintf(frame, sizeof frame,
                  "%s %s: %s from scene time %.3f s; frame %d: %llu OpenGL calls, %llu vertices in %llu primitives",
                  sizeText(options.width, options.height).c_str(), options.low ? "low" : "full", replayed.c_str(),
                  info.sceneTime, info.firstFrame, static_cast<unsigned long long>(first.calls),
                  static_cast<unsigned long long>(first.vertices), static_cast<unsigned long long>(first.primitives));
    if (options.rowsOnly) {
        std::printf("%s%s\n%s%s\n%s%s\n", RENDERER_TAG, renderer != nullptr ? renderer : "?", FRAME_TAG, frame,
                    ROW_TAG, row);
    } else {
        std::printf("GL renderer: %s\nReplayed: %s\n\n", renderer != nullptr ? renderer : "?", frame);
        printHeader(options);
        std::printf("%s\n", row);
    }
    return EXIT_OK;
}

int runAllSizes(const Options& options) {
    std::vector<std::string> rows;
    std::vector<std::string> frames;
    std::string renderer = "?";
    for (const char* size : SIZES) {
        std::vector<std::string> args = {"--size", size, "--rows", "--frames", std::to_string(options.frames)};
        if (options.low) {
            args.push_back("--low");
        }
        if (options.sameFrame) {
            args.push_back("--same-frame");
        }
        std::fprintf(stderr, "orvel-floor: measuring %s %s...\n", size, options.low ? "low" : "full");
        std::string output;
        const int status = runProgram(ownProgramPath(), args, output);
        if (status != EXIT_OK) {
            std::fprintf(stderr, "orvel-floor: the %s run failed (exit code %d)\n", size, status);
            return EXIT_FAILED;
        }
        std::size_t start = 0;
        while (start < output.size()) {
            std::size_t end = output.find('\n', start);
            end = end == std::string::npos ? output.size() : end;
            const std::string line = output.substr(start, end - start);
            start = end + 1;
            if (line.rfind(ROW_TAG, 0) == 0) {
                rows.push_back(line.substr(sizeof ROW_TAG - 1));
            } else if (line.rfind(RENDERER_TAG, 0) == 0) {
                renderer = line.substr(sizeof RENDERER_TAG - 1);
            } else if (line.rfind(FRAME_TAG, 0) == 0) {
                frames.push_back(line.substr(sizeof FRAME_TAG - 1));
            }
        }
    }
    std::printf("orvel-floor on %s\n", renderer.c_str());
    std::printf("The floor replays the OpenGL calls of Orvel's frames, recorded at start-up (the first\n"
                "replay checked to draw exactly its frame's pixels); it has no scene logic. Replayed:\n");
    for (const std::string& frame : frames) {
        std::printf("  %s\n", frame.c_str());
    }
    std::printf("\n");
    printHeader(options);
    for (const std::string& row : rows) {
        std::printf("%s\n", row.c_str());
    }
    return EXIT_OK;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    switch (parseOptions(argc, argv, options)) {
    case Parse::help:
        std::fputs(USAGE, stdout);
        return EXIT_OK;
    case Parse::bad:
        std::fputs(USAGE, stderr);
        return EXIT_USAGE;
    case Parse::run:
        break;
    }
    if (!options.single) {
        return runAllSizes(options);
    }
    return runConfiguration(options);
}
