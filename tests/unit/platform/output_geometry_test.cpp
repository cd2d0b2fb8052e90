// One picture across outputs of their own shapes and densities: each output's buffer has
// its own pixels, and its viewport puts its part of the box around every output on it.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/wayland/output_geometry.h"

namespace {

struct BufferCase {
    int width, height, outputScale, preferredScale;
    BufferSize expected;
};

const BufferCase BUFFER_CASES[] = {
    {1920, 1080, 1, 0, {1920, 1080, 1}},
    {800, 600, 2, 0, {1600, 1200, 2}},     // HiDPI: the output's pixels, not half of them
    {800, 600, 0, 0, {800, 600, 1}},       // no scale told yet
    {1280, 720, 1, 180, {1920, 1080, 1}},  // 1.5 through a viewport
    {1280, 720, 2, 180, {1920, 1080, 1}},  // the preferred scale wins over the integer one
    {1366, 768, 1, 150, {1708, 960, 1}},   // 1.25, rounded half up
};

TEST(OutputGeometry, BufferHasTheOutputsPixels) {
    for (const BufferCase& c : BUFFER_CASES) {
        const BufferSize size = bufferSizeFor(c.width, c.height, c.outputScale, c.preferredScale);
        EXPECT_EQ(std::tuple(size.width, size.height, size.scale),
                  std::tuple(c.expected.width, c.expected.height, c.expected.scale))
            << c.width << "x" << c.height << " scale " << c.outputScale << ", preferred " << c.preferredScale;
    }
}

struct ViewportCase {
    const char* layout;
    int boxWidth, boxHeight, left, top, surfaceWidth, surfaceHeight, bufferWidth, bufferHeight;
    Viewport expected;
};

const ViewportCase VIEWPORT_CASES[] = {
    {"16:9 left of 5:4", 3200, 1080, 0, 0, 1920, 1080, 1920, 1080, {0, 0, 3200, 1080}},
    {"5:4 right of 16:9, 56 rows shorter", 3200, 1080, 1920, 0, 1280, 1024, 1280, 1024, {-1920, -56, 3200, 1080}},
    {"scale 2 right of scale 1", 3200, 1080, 1920, 0, 1280, 720, 2560, 1440, {-3840, -720, 6400, 2160}},
    {"upper of two stacked", 1920, 2160, 0, 0, 1920, 1080, 1920, 1080, {0, -1080, 1920, 2160}},
    {"lower of two stacked", 1920, 2160, 0, 1080, 1920, 1080, 1920, 1080, {0, 0, 1920, 2160}},
    {"1.5 through a viewport", 1280, 720, 0, 0, 1280, 720, 1920, 1080, {0, 0, 1920, 1080}},
    {"1.25 right of scale 1, rounded away from 0", 3286, 1080, 1920, 0, 1366, 768, 1708, 960, {-2401, -390, 4109, 1350}},
    {"not configured yet", 0, 0, 0, 0, 0, 0, 640, 480, {0, 0, 640, 480}},
};

TEST(OutputGeometry, EachOutputDrawsItsPartOfTheBox) {
    for (const ViewportCase& c : VIEWPORT_CASES) {
        const Viewport view = viewportFor(c.boxWidth, c.boxHeight, c.left, c.top, c.surfaceWidth, c.surfaceHeight,
                                          c.bufferWidth, c.bufferHeight);
        EXPECT_EQ(std::tuple(view.x, view.y, view.width, view.height),
                  std::tuple(c.expected.x, c.expected.y, c.expected.width, c.expected.height))
            << c.layout;
    }
}

}  // namespace
