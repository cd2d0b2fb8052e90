#pragma once
// A separable blur with binomial weights, a close and exactly finite stand-in for a Gaussian.
#include "float_plane.h"

// Blurs over 2 * radius + 1 pixels per axis with weights C(2 radius, k) / 4^radius; values
// outside the plane count as 0, so nothing spreads further than `radius` pixels.
FloatPlane binomialBlur(const FloatPlane& source, int radius);
