#pragma once
// The arithmetic of one picture across outputs of their own densities, apart from any
// Wayland object so that it can be checked on its own: the pixels of a surface's buffer
// at an output's scale, and the viewport with which a surface draws its part of the box
// around every output.

// A buffer's size in pixels, and the integer scale set on the surface (1 when a
// viewport shows the buffer at the surface's logical size instead).
struct BufferSize {
    int width;
    int height;
    int scale;
};

// preferredScale in 120ths (wp_fractional_scale_v1), 0 when none came: then the integer
// scale of the output (1 when unknown).
inline BufferSize bufferSizeFor(int width, int height, int outputScale, int preferredScale) {
    if (preferredScale > 0) return {(width * preferredScale + 60) / 120, (height * preferredScale + 60) / 120, 1};
    const int scale = outputScale > 0 ? outputScale : 1;
    return {width * scale, height * scale, scale};
}

struct Viewport {
    int x;  // from the buffer's bottom left, as glViewport takes it
    int y;
    int width;
    int height;
};

inline int roundedTimes(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));
}

// The viewport of a box (boxWidth x boxHeight logical units) on a surface of
// surfaceWidth x surfaceHeight whose top left lies at (left, top) in the box, with a
// buffer of bufferWidth x bufferHeight pixels.
inline Viewport viewportFor(int boxWidth, int boxHeight, int left, int top, int surfaceWidth, int surfaceHeight,
                            int bufferWidth, int bufferHeight) {
    if (surfaceWidth <= 0 || surfaceHeight <= 0) return {0, 0, bufferWidth, bufferHeight};
    const int below = boxHeight - (top + surfaceHeight);  // box rows under the surface
    return {roundedTimes(-left, bufferWidth, surfaceWidth), roundedTimes(-below, bufferHeight, surfaceHeight),
            roundedTimes(boxWidth, bufferWidth, surfaceWidth), roundedTimes(boxHeight, bufferHeight, surfaceHeight)};
}
