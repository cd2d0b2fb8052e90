#include "stroke_font.h"

#include <initializer_list>

namespace {
struct GlyphDefinition {
    char character;
    float leftBearing;
    float rightBearing;
    std::initializer_list<const char*> strokes;
};

// Round letters are ellipses about the x-height's middle; stems run from the baseline
// to the x-height (or the ascender at 74 units).
const GlyphDefinition GLYPH_DEFINITIONS[] = {
    {'O', 0, 0, {"A 34 35 34 35 0 360"}},
    {'a', 0, 0, {"A 25 25 25 25 0 360", "M 50 0 L 50 50"}},
    {'c', 0, -4, {"A 25 25 25 25 44 316"}},
    {'e', 0, -2, {"A 25 25 25 25 0 318", "M 0 25 L 50 25"}},
    {'l', 0, 0, {"M 0 0 L 0 74"}},
    {'n', 0, 0, {"M 0 0 L 0 50", "M 0 28 A 20 30 20 20 180 0 L 40 0"}},
    {'r', 0, -6, {"M 0 0 L 0 50", "A 21 25 21 25 180 55"}},
    {'s', 0, 0, {"A 20 37.5 18 12.5 35 270 A 20 12.5 20 12.5 90 -145"}},
    {'v', -3, -3, {"M 0 50 L 20 0 L 40 50"}},
    {' ', 22, 0, {}},
};

std::vector<FontGlyph> buildGlyphs()
{
    std::vector<FontGlyph> glyphs;
    for (const GlyphDefinition& definition : GLYPH_DEFINITIONS) {
        FontGlyph glyph;
        glyph.character = definition.character;
        glyph.leftBearing = definition.leftBearing;
        glyph.rightBearing = definition.rightBearing;
        bool first = true;
        for (const char* text : definition.strokes) {
            Polyline stroke = parseStroke(text);
            for (const PathPoint& p : stroke) {
                if (first || p.x < glyph.inkLeft) glyph.inkLeft = p.x;
                if (first || p.x > glyph.inkRight) glyph.inkRight = p.x;
                first = false;
            }
            glyph.strokes.push_back(std::move(stroke));
        }
        glyphs.push_back(std::move(glyph));
    }
    return glyphs;
}
}  // namespace

const FontGlyph* findGlyph(char c)
{
    static const std::vector<FontGlyph> glyphs = buildGlyphs();
    for (const FontGlyph& glyph : glyphs) {
        if (glyph.character == c) return &glyph;
    }
    return nullptr;
}
