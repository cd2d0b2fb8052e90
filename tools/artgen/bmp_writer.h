#pragma once
// 24-bit Windows bitmap files.
#include "byte_buffer.h"
#include "rgb_image.h"

// Whole file: BITMAPFILEHEADER, BITMAPINFOHEADER, then bottom-up BGR rows padded to 4 bytes.
ByteBuffer encodeBmp24(const RgbImage& image);

// Appends a BITMAPINFOHEADER; the icon writer shares it.
void putBitmapInfoHeader(ByteBuffer& out, int width, int height, int bitsPerPixel,
                         std::uint32_t imageBytes, std::uint32_t paletteEntries);

// Bytes per stored row of `width` pixels at `bitsPerPixel`, padded to a multiple of 4.
std::uint32_t bitmapRowStride(int width, int bitsPerPixel);
