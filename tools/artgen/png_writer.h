#pragma once
// PNG files of 8-bit RGB pixels, written without compression (stored deflate blocks), so
// the bytes depend on the pixels alone and not on a compression library's version.
#include "byte_buffer.h"
#include "rgb_image.h"

// Whole file: signature, IHDR, one IDAT holding the zlib stream, IEND.
ByteBuffer encodePng(const RgbImage& image);
