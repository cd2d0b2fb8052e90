#pragma once
// Bitmap 104: the title banner shown while the saver fades in.
#include "rgb_image.h"

constexpr int BANNER_WIDTH = 128;
constexpr int BANNER_HEIGHT = 64;

// "Orvel" over "screen saver" in light letters with a violet glow on pure black.
RgbImage makeBannerImage();
