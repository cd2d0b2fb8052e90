#pragma once
// Windows icon files holding palette images.
#include <cstdint>
#include <vector>

#include "byte_buffer.h"

// One icon image: palette indices, rows from the top, one index per pixel.
struct PaletteImage {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;                // 4 or 8
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB, 1 << bitsPerPixel entries
    std::vector<unsigned char> indices;  // width x height
};

// ICONDIR, one ICONDIRENTRY per image, then each image as BITMAPINFOHEADER (double height),
// palette, colour bits and an all-opaque AND mask.
ByteBuffer encodeIco(const std::vector<PaletteImage>& images);
