#pragma once
// A small geometric sans-serif drawn with a round pen, holding the glyphs the banner needs.
#include <vector>

#include "stroke_path.h"

// Vertical metrics in font units (y upwards from the baseline).
constexpr float FONT_X_HEIGHT = 50.0f;
constexpr float FONT_CAP_HEIGHT = 70.0f;

struct FontGlyph {
    char character = 0;
    std::vector<Polyline> strokes;  // pen centre lines, font units
    float inkLeft = 0.0f;           // leftmost and rightmost pen centre
    float inkRight = 0.0f;
    float leftBearing = 0.0f;       // extra room before and after the ink
    float rightBearing = 0.0f;
};

// The glyph for `c`, or nullptr if the font has none. A space has no strokes.
const FontGlyph* findGlyph(char c);
