#pragma once
// One image of a Windows icon file (.ico), decoded to 32-bit pixels, for platforms that
// draw the program's icon themselves.
#include <cstddef>
#include <cstdint>
#include <vector>

struct IconImage {
    int width = 0;
    int height = 0;
    // Row by row from the top, 0xAARRGGBB; alpha is 0 or 255 for images with a
    // transparency mask, and the image's own alpha for 32-bit ones.
    std::vector<std::uint32_t> pixels;
};

// The image of the icon file closest to size pixels square: the exact size with the most
// colours, else the largest. Images of 1, 4, 8, 24 and 32 bits a pixel are read; PNG
// images are skipped. False, with image untouched, for anything that is not a sound icon
// file: every offset and size is checked against the data.
bool decodeIcon(const unsigned char* data, std::size_t size, int wantedSize, IconImage& image);
