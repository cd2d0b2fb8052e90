#include "render_options.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace {

const char USAGE[] =
    "usage: orvel-render [options]\n"
    "Renders the Orvel scene off-screen (headless EGL) on a virtual clock.\n"
    "  --size WxH     surface size in pixels, each side 1..8192 (default 640x480)\n"
    "  --fps N        frames per second of the virtual clock, 1..1000 (default 60)\n"
    "  --seconds S    render the frames of the first S seconds (default 10)\n"
    "  --frames N     render N frames instead (not together with --seconds)\n"
    "  --every K      save frames 1, K+1, 2K+1, ... (default 1: every frame)\n"
    "  --low          low detail: no grids, 400 motes, fewer sparks, nearest filtering\n"
    "  --out DIR      write DIR/frame-000001.png ..., numbered by frame from 1\n"
    "  --state FILE   write one JSON object per frame to FILE, one per line\n"
    "  --help         show this text\n";

// A whole decimal number in [lo, hi]: digits only, nothing before or after.
bool parseInteger(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t& value) {
    if (text.empty() || text.front() < '0' || text.front() > '9') {
        return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= lo && value <= hi;
}

bool parseSize(std::string_view text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) {
        return false;
    }
    std::int64_t w = 0;
    std::int64_t h = 0;
    if (!parseInteger(text.substr(0, x), 1, RENDER_MAX_SIDE, w) ||
        !parseInteger(text.substr(x + 1), 1, RENDER_MAX_SIDE, h)) {
        return false;
    }
    width = int(w);
    height = int(h);
    return true;
}

// A finite decimal number above 0, like 10 or 2.5.
bool parseSeconds(std::string_view text, double& seconds) {
    if (text.empty() || !((text.front() >= '0' && text.front() <= '9') || text.front() == '.')) {
        return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(seconds) && seconds > 0.0;
}

}  // namespace

const char* renderUsage() { return USAGE; }

ParseOutcome parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error) {
    double seconds = 10.0;
    bool secondsGiven = false;
    bool framesGiven = false;

    for (int i = 1; i < argc; ++i) {
        std::string_view name = argv[i];
        std::string_view value;
        bool hasValue = false;
        if (const std::size_t eq = name.find('='); name.starts_with("--") && eq != std::string_view::npos) {
            value = name.substr(eq + 1);  // --name=value
            name = name.substr(0, eq);
            hasValue = true;
        }

        if (name == "--help" || name == "-h") {
            return ParseOutcome::help;
        }
        if (name == "--low") {
            if (hasValue) {
                error = "--low takes no value";
                return ParseOutcome::bad;
            }
            options.low = true;
            continue;
        }

        const bool known = name == "--size" || name == "--fps" || name == "--seconds" || name == "--frames" ||
                           name == "--every" || name == "--out" || name == "--state";
        if (!known) {
            error = "unknown argument '" + std::string(argv[i]) + "'";
            return ParseOutcome::bad;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                error = std::string(name) + " needs a value";
                return ParseOutcome::bad;
            }
            value = argv[++i];
        }

        std::int64_t number = 0;
        bool good = true;
        if (name == "--size") {
            good = parseSize(value, options.width, options.height);
        } else if (name == "--fps") {
            good = parseInteger(value, 1, RENDER_MAX_FPS, number);
            options.fps = int(number);
        } else if (name == "--seconds") {
            good = parseSeconds(value, seconds);
            secondsGiven = true;
        } else if (name == "--frames") {
            good = parseInteger(value, 1, RENDER_MAX_FRAMES, options.frames);
            framesGiven = true;
        } else if (name == "--every") {
            good = parseInteger(value, 1, RENDER_MAX_FRAMES, options.every);
        } else if (name == "--out") {
            good = !value.empty();
            options.outDir = value;
        } else {
            good = !value.empty();
            options.stateFile = value;
        }
        if (!good) {
            error = "bad value '" + std::string(value) + "' for " + std::string(name);
            return ParseOutcome::bad;
        }
    }

    if (secondsGiven && framesGiven) {
        error = "give --seconds or --frames, not both";
        return ParseOutcome::bad;
    }
    if (!framesGiven) {
        // The frames whose virtual clock reading k * 1000 / fps ms lies below S seconds.
        const double frames = std::ceil(seconds * options.fps - 1e-9);
        if (frames > double(RENDER_MAX_FRAMES)) {
            error = "--seconds gives more than 100000000 frames";
            return ParseOutcome::bad;
        }
        options.frames = frames < 1.0 ? 1 : std::int64_t(frames);
    }
    return ParseOutcome::run;
}
