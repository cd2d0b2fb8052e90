#pragma once
// The command line of orvel-render.
#include <cstdint>
#include <string>

inline constexpr int RENDER_MAX_SIDE = 8192;
inline constexpr int RENDER_MAX_FPS = 1000;  // one frame per virtual millisecond at most
inline constexpr std::int64_t RENDER_MAX_FRAMES = 100000000;

struct RenderOptions {
    int width = 640;
    int height = 480;
    int fps = 60;
    std::int64_t frames = 600;  // 10 seconds at the default rate
    std::int64_t every = 1;     // frames 1, every + 1, 2 every + 1, ... are saved
    bool low = false;
    std::string outDir;         // empty: no PNGs
    std::string stateFile;      // empty: no state lines
};

enum class ParseOutcome { run, help, bad };

// Reads argv into options. On ParseOutcome::bad, error says what was wrong.
ParseOutcome parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error);

// The usage text, ending in a newline.
const char* renderUsage();
