// orvel-render: runs the real scene set-up and frame driver on a headless EGL surface
// with a virtual millisecond clock, and writes the frames as PNG files and the scene's
// state as JSON lines. The clock reads floor(k * 1000 / fps) ms before frame k, so the
// frame timer and the pacing work exactly as in the saver, and nothing ever sleeps.
#include <GL/gl.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "frame/frame_driver.h"
#include "headless_scene.h"
#include "png_writer.h"
#include "progress_bar.h"
#include "render_options.h"
#include "frame/scene_globals.h"
#include "platform/headless/headless.h"
#include "state_writer.h"

namespace {

constexpr int EXIT_USAGE = 2;
constexpr int EXIT_FAILED = 1;

int fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "orvel-render: %s%s\n", what, detail.c_str());
    return EXIT_FAILED;
}

// Creates the output directory (and its parents) before any frame is drawn, so a bad
// path is reported at once rather than after a long render.
bool prepareOutDir(const std::string& dir, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!ec && !std::filesystem::is_directory(dir, ec)) {
        ec = std::make_error_code(std::errc::not_a_directory);
    }
    if (ec) {
        error = dir + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    std::string error;
    switch (parseRenderOptions(argc, argv, options, error)) {
    case ParseOutcome::help:
        std::fputs(renderUsage(), stdout);
        return 0;
    case ParseOutcome::bad:
        std::fprintf(stderr, "orvel-render: %s\n%s", error.c_str(), renderUsage());
        return EXIT_USAGE;
    case ParseOutcome::run:
        break;
    }

    if (!options.outDir.empty() && !prepareOutDir(options.outDir, error)) {
        return fail("cannot create the output directory ", error);
    }
    std::FILE* state = nullptr;
    if (!options.stateFile.empty()) {
        state = std::fopen(options.stateFile.c_str(), "w");
        if (state == nullptr) {
            return fail("cannot write the state file ", options.stateFile + ": " + std::strerror(errno));
        }
    }

    WindowHandle window = startHeadlessScene(options.width, options.height, options.low);
    if (window == nullptr) {
        return fail("no EGL display or OpenGL context: rendering needs Mesa's surfaceless EGL platform "
                    "with desktop OpenGL (libegl-mesa0, libgl1-mesa-dri)",
                    "");
    }

    // Everything the loop needs is allocated here. Rows are handed to the PNG writer
    // top-down, so they point into the bottom-up read-back in reverse order.
    const std::size_t rowBytes = std::size_t(options.width) * 4;
    std::vector<unsigned char> pixels(rowBytes * std::size_t(options.height));
    std::vector<const unsigned char*> rows(std::size_t(options.height));
    for (int y = 0; y < options.height; ++y) {
        rows[std::size_t(y)] = pixels.data() + rowBytes * std::size_t(options.height - 1 - y);
    }
    std::vector<char> path(options.outDir.size() + 40);
    char pngError[PNG_ERROR_CAPACITY];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);

    ProgressBar progress;
    progress.start(options.frames);
    for (std::int64_t k = 0; k < options.frames; ++k) {
        const std::int64_t frame = k + 1;
        headlessSetTickCount(virtualTick(k, options.fps));
        const double drawnAt = sceneTime;
        const float step = frameSeconds;
        runFrame(window);

        if (!options.outDir.empty() && k % options.every == 0) {
            glReadPixels(0, 0, options.width, options.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
            std::snprintf(path.data(), path.size(), "%s/frame-%06lld.png", options.outDir.c_str(),
                          static_cast<long long>(frame));
            if (!writePng(path.data(), options.width, options.height, rows.data(), pngError)) {
                progress.finish();
                return fail("cannot write ", std::string(path.data()) + ": " + pngError);
            }
        }
        if (state != nullptr && !writeStateLine(state, frame, drawnAt, step)) {
            progress.finish();
            return fail("cannot write the state file ", options.stateFile + ": " + std::strerror(errno));
        }
        progress.update(frame, sceneTime);
    }
    progress.finish();

    if (state != nullptr && (std::ferror(state) != 0 || std::fclose(state) != 0)) {
        return fail("cannot write the state file ", options.stateFile);
    }
    return 0;
}
