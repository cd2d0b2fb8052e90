#pragma once
// Shared helpers of the render tests: a device on a small off-screen surface, pixel and
// feedback read-back, and 24-bit BMP files made in memory.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <set>
#include <tuple>
#include <vector>

#include "platform/gl_binding.h"
#include "platform/headless/headless.h"
#include "gfx/render_device.h"
#include "gfx/texture.h"

using Rgb = std::tuple<int, int, int>;
Rgb readPixel(int x, int y);
inline bool isAbout(Rgb a, Rgb b, int tolerance) {
    return std::abs(std::get<0>(a) - std::get<0>(b)) <= tolerance && std::abs(std::get<1>(a) - std::get<1>(b)) <= tolerance &&
           std::abs(std::get<2>(a) - std::get<2>(b)) <= tolerance;
}
std::vector<GLfloat> floats(GLenum name, int count);
inline const std::vector<GLfloat> IDENTITY_MATRIX = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// A placement at `position` with identity axes; as a camera it looks down -z.
Placement placementAt(Vec3 position);

// The distinct window positions (x, y in thousandths of a pixel) of the vertices that a
// draw submits and that survive clipping, found in feedback mode.
using WindowPoint = std::pair<long, long>;
std::set<WindowPoint> feedbackVertices(const std::function<void()>& draw);
constexpr WindowPoint windowPoint(double x, double y) { return {long(x * 1000 + 0.5), long(y * 1000 + 0.5)}; }

constexpr std::uint32_t rgb(int r, int g, int b) { return std::uint32_t(r | g << 8 | b << 16); }

// A 24-bit BMP file; colourAt(x, y) gives 0x00BBGGRR with y counted from the top.
std::vector<unsigned char> makeBmp(int width, int height,
                                   const std::function<std::uint32_t(int, int)>& colourAt,
                                   bool topDown = false);
// Loads the texture from the file through a one-entry resource table.
void loadTexture(Texture& texture, const std::vector<unsigned char>& bmp);
// 8 x 8 in quadrants: top-left red, top-right green, bottom-left blue, bottom-right white.
std::vector<unsigned char> quadrantBmp();

class RenderTest : public testing::Test {
protected:
    static constexpr int WIDTH = 80;
    static constexpr int HEIGHT = 60;

    void SetUp() override {
        device.setupDevice(&surface, WIDTH, HEIGHT, 32);
        ASSERT_TRUE(headlessGlContextIsCurrent());
    }

    int surface = 0;  // its address names this test's off-screen surface
    RenderDevice device;
};
