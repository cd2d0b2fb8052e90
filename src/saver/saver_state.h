#pragma once
// Settings the saver window reads at creation and the scene consults while it runs.
#include <cstdint>

// Low-detail mode, 0 or 1: no grid planes, fewer motes and sparks, nearest filtering.
extern std::uint8_t lowDetail;

// The display's colour depth in bits per pixel; 16 until it has been read.
extern std::int32_t colorBits;
