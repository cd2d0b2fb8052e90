#pragma once
// Places a line of text from the stroke font in pixel coordinates.
#include <string_view>
#include <vector>

#include "stroke_path.h"

struct TextStyle {
    float pixelsPerUnit;  // font units to pixels
    float penWidth;       // pen diameter, font units
    float tracking;       // room between the ink of neighbouring letters, font units
};

// Width in pixels from the left edge of the first letter's ink to the right edge of the last.
float measureText(std::string_view text, const TextStyle& style);

// Pen centre lines of the text in pixel coordinates (y downwards), with the left ink edge
// at `left` and the baseline at `baseline`. Characters the font lacks are skipped.
std::vector<Polyline> layoutText(std::string_view text, const TextStyle& style, float left, float baseline);
