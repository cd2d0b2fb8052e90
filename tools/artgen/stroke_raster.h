#pragma once
// Anti-aliased drawing of round-pen strokes.
#include <vector>

#include "float_plane.h"
#include "stroke_path.h"

// Coverage (0..1) of a width x height pixel grid by the strokes, pen radius in pixels.
// Each pixel is point-sampled on a samplesPerAxis x samplesPerAxis grid; a sample is covered
// when it lies within the pen radius of any stroke segment, so overlaps never add up.
FloatPlane rasterizeStrokes(int width, int height, const std::vector<Polyline>& strokes, float penRadius,
                            int samplesPerAxis);
