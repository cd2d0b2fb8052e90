#pragma once
// A colour picture held as floating-point red, green and blue, 0 to 1, rows from the top.
#include <vector>

struct RgbColor {
    float r;
    float g;
    float b;
};

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<RgbColor> pixels;  // width x height, row 0 is the top row

    RgbImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, RgbColor{0, 0, 0}) {}

    RgbColor& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    const RgbColor& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// 0..1 to a byte, rounded to nearest, out-of-range values clamped.
inline unsigned char toByte(float v)
{
    if (!(v > 0.0f)) return 0;
    if (v >= 1.0f) return 255;
    return static_cast<unsigned char>(v * 255.0f + 0.5f);
}
