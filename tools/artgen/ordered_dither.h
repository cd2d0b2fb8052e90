#pragma once
// Ordered (Bayer) dithering threshold.

// Threshold in 0..1 for pixel (x, y) from the 4 x 4 Bayer matrix: adding it to a value
// before rounding down spreads the in-between shades as a fine regular pattern.
inline float bayerThreshold(int x, int y)
{
    static const int BAYER_4X4[4][4] = {
        {0, 8, 2, 10},
        {12, 4, 14, 6},
        {3, 11, 1, 9},
        {15, 7, 13, 5},
    };
    return (static_cast<float>(BAYER_4X4[y & 3][x & 3]) + 0.5f) / 16.0f;
}
