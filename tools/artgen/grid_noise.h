#pragma once
// Bitmap 108: the cloudy grey texture repeated across the grid planes.
#include "rgb_image.h"

constexpr int GRID_IMAGE_SIZE = 128;

// Grey clouds from dark to light grey that tile seamlessly in both directions.
RgbImage makeGridImage();
