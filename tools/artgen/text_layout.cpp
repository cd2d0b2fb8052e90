#include "text_layout.h"

#include "stroke_font.h"

namespace {
// Walks the text, calling place(glyph, penX) with each glyph's ink origin in font units;
// returns the pen position after the last glyph's ink.
template <typename Place>
float walkText(std::string_view text, const TextStyle& style, Place place)
{
    float pen = style.penWidth * 0.5f;
    bool first = true;
    for (char c : text) {
        const FontGlyph* glyph = findGlyph(c);
        if (glyph == nullptr) continue;
        if (!first) pen += style.tracking;
        pen += glyph->leftBearing;
        place(*glyph, pen - glyph->inkLeft);
        pen += glyph->inkRight - glyph->inkLeft + glyph->rightBearing;
        first = false;
    }
    return pen + style.penWidth * 0.5f;
}
}  // namespace

float measureText(std::string_view text, const TextStyle& style)
{
    return walkText(text, style, [](const FontGlyph&, float) {}) * style.pixelsPerUnit;
}

std::vector<Polyline> layoutText(std::string_view text, const TextStyle& style, float left, float baseline)
{
    std::vector<Polyline> placed;
    walkText(text, style, [&](const FontGlyph& glyph, float originX) {
        for (const Polyline& stroke : glyph.strokes) {
            Polyline line;
            for (const PathPoint& p : stroke) {
                line.push_back(PathPoint{left + (originX + p.x) * style.pixelsPerUnit,
                                         baseline - p.y * style.pixelsPerUnit});
            }
            placed.push_back(std::move(line));
        }
    });
    return placed;
}
