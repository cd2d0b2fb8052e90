// The pixel format the bindings pick among the window system's formats, for the request
// the graphics device makes: a double-buffered RGBA format, as many colour and depth bits
// as the display has bits a pixel, nothing else.
#include <gtest/gtest.h>

#include "platform/common/pixel_format_choice.h"

namespace {

constexpr int MAX_CANDIDATES = 4;

// Formats written as colour, depth and extras, double-buffered and usable unless marked.
PixelFormatCandidate format(int red, int green, int blue, int depth, int alpha = 0, int stencil = 0, int accum = 0) {
    return {true, true, false, red, green, blue, alpha, depth, stencil, accum};
}

PixelFormatCandidate slow(PixelFormatCandidate f) { f.slow = true; return f; }
PixelFormatCandidate singleBuffered(PixelFormatCandidate f) { f.doubleBuffered = false; return f; }
PixelFormatCandidate unusable(PixelFormatCandidate f) { f.usable = false; return f; }

const PixelFormatCandidate RGB565_D16 = format(5, 6, 5, 16);
const PixelFormatCandidate RGB555_D16 = format(5, 5, 5, 16);
const PixelFormatCandidate RGB888_D16 = format(8, 8, 8, 16);
const PixelFormatCandidate RGB888_D24 = format(8, 8, 8, 24);
const PixelFormatCandidate RGB888_D32 = format(8, 8, 8, 32);
const PixelFormatCandidate RGB888_NO_DEPTH = format(8, 8, 8, 0);
const PixelFormatCandidate RGBA8888_D24_S8 = format(8, 8, 8, 24, 8, 8);

struct ChoiceCase {
    const char* what;
    int displayBits;  // colour and depth bits of the request
    bool doubleBuffer;
    PixelFormatCandidate candidates[MAX_CANDIDATES];
    int count;
    int preferred;
    int expected;
};

const ChoiceCase CASES[] = {
    {"16 bits: 5-6-5 over 5-5-5 and 8-8-8", 16, true, {RGB888_D24, RGB555_D16, RGB565_D16, RGB888_D16}, 4, 0, 3},
    {"16 bits: 5-5-5 when there is no 5-6-5", 16, true, {RGB888_D16, RGB555_D16}, 2, 0, 2},
    {"16 bits: a 16-bit depth buffer", 16, true, {format(5, 6, 5, 24), RGB565_D16}, 2, 0, 2},
    {"24 bits: 8-8-8 with a 24-bit depth buffer", 24, true, {RGB565_D16, RGB888_D16, RGB888_D24}, 3, 0, 3},
    {"32 bits: a 24-bit depth buffer over 16 and 32", 32, true, {RGB888_D16, RGB888_D32, RGB888_D24}, 3, 0, 3},
    {"32 bits: colour counts before depth", 32, true, {format(5, 6, 5, 24), RGB888_D16}, 2, 0, 2},
    {"no depth buffer never does", 24, true, {RGB888_NO_DEPTH, RGB565_D16}, 2, 0, 2},
    {"only formats without depth: none", 24, true, {RGB888_NO_DEPTH, format(5, 6, 5, 0)}, 2, 0, 0},
    {"single-buffered never does", 24, true, {singleBuffered(RGB888_D24), RGB565_D16}, 2, 0, 2},
    {"single-buffered does when not asked for two", 24, false, {singleBuffered(RGB888_D24), RGB565_D16}, 2, 0, 1},
    {"unusable never does", 24, true, {unusable(RGB888_D24), RGB565_D16}, 2, 0, 2},
    {"slow loses to a fast depth 8 bits off", 24, true, {slow(RGB888_D24), RGB888_D16}, 2, 0, 2},
    {"slow wins over a fast depth 16 bits off", 16, true, {slow(RGB565_D16), format(5, 6, 5, 32)}, 2, 0, 1},
    {"slow with the right colour wins", 24, true, {RGB565_D16, slow(RGB888_D24)}, 2, 0, 2},
    {"alpha nobody asked for loses", 24, true, {format(8, 8, 8, 24, 8), RGB888_D24}, 2, 0, 2},
    {"stencil nobody asked for loses", 24, true, {format(8, 8, 8, 24, 0, 8), RGB888_D24}, 2, 0, 2},
    {"accumulation nobody asked for loses", 24, true, {format(8, 8, 8, 24, 0, 0, 16), RGB888_D24}, 2, 0, 2},
    {"extra alpha and stencil before a wrong depth", 24, true, {RGB888_D16, RGBA8888_D24_S8}, 2, 0, 2},
    {"tie: the first listed", 24, true, {RGB565_D16, RGB888_D24, RGB888_D24}, 3, 0, 2},
    {"tie: the preferred one", 24, true, {RGB888_D24, RGB888_D24, RGB888_D24}, 3, 3, 3},
    {"preferred but farther: the closer one", 24, true, {RGB888_D24, RGB888_D16}, 2, 2, 1},
};

TEST(PixelFormatChoice, PicksTheClosestFormatThatWillDo) {
    for (const ChoiceCase& c : CASES) {
        PixelFormatRequest request;
        request.dwFlags = PIXEL_FORMAT_DRAW_TO_WINDOW | PIXEL_FORMAT_SUPPORT_OPENGL;
        if (c.doubleBuffer) request.dwFlags |= PIXEL_FORMAT_DOUBLEBUFFER;
        request.cColorBits = std::uint8_t(c.displayBits);
        request.cDepthBits = std::uint8_t(c.displayBits);
        EXPECT_EQ(closestPixelFormat(c.candidates, c.count, request, c.preferred), c.expected) << c.what;
    }
}

TEST(PixelFormatChoice, AskedForAlphaAndStencilCountForThem) {
    PixelFormatRequest request;
    request.dwFlags = PIXEL_FORMAT_DOUBLEBUFFER;
    request.cColorBits = 32;
    request.cDepthBits = 24;
    request.cAlphaBits = 8;
    request.cStencilBits = 8;
    const PixelFormatCandidate candidates[] = {RGB888_D24, RGBA8888_D24_S8};
    EXPECT_EQ(closestPixelFormat(candidates, 2, request), 2);
}

}  // namespace
