#pragma once
// One channel of floating-point values over a width x height grid, rows from the top.
#include <vector>

struct FloatPlane {
    int width = 0;
    int height = 0;
    std::vector<float> values;

    FloatPlane(int w, int h) : width(w), height(h), values(static_cast<std::size_t>(w) * h, 0.0f) {}

    float& at(int x, int y) { return values[static_cast<std::size_t>(y) * width + x]; }
    float at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
};
