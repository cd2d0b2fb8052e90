#pragma once
// Bitmap 106: the glow sprite.
#include "rgb_image.h"

constexpr int GLOW_IMAGE_SIZE = 64;

// A round glow, white in the centre, fading smoothly to pure black before the edges.
RgbImage makeGlowImage();

// Brightness of the glow at `r`, the distance from the centre as a fraction of the radius
// (0 centre, 1 rim and beyond): 1 at the centre, 0 from the rim out, smooth in between.
float glowFalloff(float r);
