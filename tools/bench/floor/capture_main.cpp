// orvel-floor-capture: records frames of the real scene for orvel-floor. The scene is set
// up and run to scene time 45 s (steady_frames.h), and that frame, frame 182, and as many
// after it as asked go through the recording layer (gl_recorder.h), each into a recording
// of its own. The first recording is replayed once on the same context, right after its
// frame, and must draw exactly the frame's pixels. The recordings go to standard output in
// the binary form of frame_recording.h.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "frame/frame_driver.h"
#include "frame/scene_globals.h"
#include "frame_recording.h"
#include "gl_recorder.h"
#include "headless_scene.h"
#include "steady_frames.h"

namespace {

constexpr int EXIT_NO_CONTEXT = 1;
constexpr int EXIT_USAGE = 2;
constexpr int EXIT_UNREPLAYABLE = 3;
constexpr int EXIT_REPLAY_DIFFERS = 4;

const char USAGE[] =
    "usage: orvel-floor-capture --size WxH [--low] [--frames N] > recording\n"
    "  Records frame 182 of the real scene (scene time 45 s) and the N - 1 frames after it\n"
    "  (default N = 1) for orvel-floor and writes them to standard output. Run by\n"
    "  orvel-floor; not meant for a terminal.\n"
    "  Exit codes: 0 done, 1 no EGL display or OpenGL context, 2 bad arguments,\n"
    "  3 the frame makes a call a replay cannot repeat, 4 the replay draws other pixels.\n";

}  // namespace

int main(int argc, char** argv) {
    int width = 0;
    int height = 0;
    bool low = false;
    int frameCount = 1;
    for (int i = 1; i < argc; ++i) {
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (std::strcmp(argv[i], "--size") == 0 && value != nullptr && parseFrameSize(value, width, height)) {
            ++i;
        } else if (std::strcmp(argv[i], "--frames") == 0 && value != nullptr && parseFrameCount(value, frameCount)) {
            ++i;
        } else if (std::strcmp(argv[i], "--low") == 0) {
            low = true;
        } else {
            std::fputs(USAGE, stderr);
            return EXIT_USAGE;
        }
    }
    if (width == 0) {
        std::fputs(USAGE, stderr);
        return EXIT_USAGE;
    }

    WindowHandle window = startHeadlessScene(width, height, low);
    if (window == nullptr) {
        std::fprintf(stderr, "orvel-floor-capture: no EGL display or OpenGL context\n");
        return EXIT_NO_CONTEXT;
    }
    runWarmUp(window);

    CaptureInfo info;
    info.width = width;
    info.height = height;
    info.low = low ? 1 : 0;
    info.firstFrame = WARM_UP_FRAMES + 1;
    info.sceneTime = sceneTime;
    std::vector<FrameRecording> frames(static_cast<std::size_t>(frameCount));
    std::string error;
    for (int f = 0; f < frameCount; ++f) {
        beginRecording();
        runClockedFrame(window, WARM_UP_FRAMES + f);
        recordOperation(FloorOp::present);
        if (!endRecording(frames[static_cast<std::size_t>(f)], error)) {
            std::fprintf(stderr, "orvel-floor-capture: frame %d: %s\n", WARM_UP_FRAMES + 1 + f, error.c_str());
            return EXIT_UNREPLAYABLE;
        }
        if (f > 0) {
            continue;
        }
        // Everything the first frame drew must come back from its calls alone.
        const std::vector<unsigned char> framePixels = readFramePixels(width, height);
        info.pixelHash = hashBytes(framePixels.data(), framePixels.size());
        replayFrame(frames[0], renderDevice.context.deviceContext);
        if (readFramePixels(width, height) != framePixels) {
            std::fprintf(stderr, "orvel-floor-capture: the replay draws other pixels than the frame it was "
                                 "recorded from\n");
            return EXIT_REPLAY_DIFFERS;
        }
    }

    if (!writeRecordings(stdout, info, frames)) {
        std::fprintf(stderr, "orvel-floor-capture: cannot write the recording\n");
        return 1;
    }
    return 0;
}
