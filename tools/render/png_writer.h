#pragma once
// PNG output through libpng. The files are reproducible: 8-bit RGB, a fixed compression
// level and filter choice, and no time or text chunks, so the same pixels always give
// the same bytes.
#include <cstddef>

inline constexpr std::size_t PNG_ERROR_CAPACITY = 256;

// Writes the image at path from top-down rows of width RGBA pixels; alpha is dropped.
// On failure returns false, removes any partial file and leaves a message in error.
bool writePng(const char* path, int width, int height, const unsigned char* const* rgbaRows,
              char (&error)[PNG_ERROR_CAPACITY]);
