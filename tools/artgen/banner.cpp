#include "banner.h"

#include <string_view>

#include "art_math.h"
#include "binomial_blur.h"
#include "stroke_font.h"
#include "stroke_raster.h"
#include "text_layout.h"

namespace {
constexpr std::string_view BANNER_TITLE = "Orvel";
constexpr std::string_view BANNER_SUBTITLE = "screen saver";

constexpr int BANNER_SAMPLES = 8;  // per pixel axis

// Title: cap height about 25 pixels; subtitle: x-height about 7 pixels.
constexpr TextStyle TITLE_STYLE{0.36f, 9.0f, 13.0f};
constexpr TextStyle SUBTITLE_STYLE{0.14f, 9.0f, 22.0f};
constexpr float TITLE_BASELINE = 36.5f;
constexpr float SUBTITLE_BASELINE = 52.5f;

constexpr RgbColor LETTER_COLOR{0.97f, 0.94f, 1.0f};
constexpr RgbColor NEAR_GLOW_COLOR{0.62f, 0.36f, 1.0f};  // tight halo hugging the letters
constexpr RgbColor FAR_GLOW_COLOR{0.42f, 0.14f, 0.85f};  // wide, faint haze
constexpr int NEAR_GLOW_RADIUS = 3;
constexpr int FAR_GLOW_RADIUS = 9;
constexpr float NEAR_GLOW_GAIN = 0.8f;
constexpr float FAR_GLOW_GAIN = 1.3f;

void addTextLine(std::vector<Polyline>& strokes, std::string_view text, const TextStyle& style,
                        float baseline)
{
    const float left = (static_cast<float>(BANNER_WIDTH) - measureText(text, style)) * 0.5f;
    for (Polyline& line : layoutText(text, style, left, baseline)) strokes.push_back(std::move(line));
}

FloatPlane lineCoverage(std::string_view text, const TextStyle& style, float baseline)
{
    std::vector<Polyline> strokes;
    addTextLine(strokes, text, style, baseline);
    return rasterizeStrokes(BANNER_WIDTH, BANNER_HEIGHT, strokes, style.penWidth * style.pixelsPerUnit * 0.5f,
                            BANNER_SAMPLES);
}
}  // namespace

RgbImage makeBannerImage()
{
    const FloatPlane title = lineCoverage(BANNER_TITLE, TITLE_STYLE, TITLE_BASELINE);
    const FloatPlane subtitle = lineCoverage(BANNER_SUBTITLE, SUBTITLE_STYLE, SUBTITLE_BASELINE);

    FloatPlane letters(BANNER_WIDTH, BANNER_HEIGHT);
    for (std::size_t i = 0; i < letters.values.size(); ++i) {
        letters.values[i] = clamp01(title.values[i] + subtitle.values[i]);
    }
    const FloatPlane nearGlow = binomialBlur(letters, NEAR_GLOW_RADIUS);
    const FloatPlane farGlow = binomialBlur(letters, FAR_GLOW_RADIUS);

    // Light adds up: letters plus both glows, clipped to white.
    RgbImage image(BANNER_WIDTH, BANNER_HEIGHT);
    for (int y = 0; y < BANNER_HEIGHT; ++y) {
        for (int x = 0; x < BANNER_WIDTH; ++x) {
            const float l = letters.at(x, y);
            const float n = nearGlow.at(x, y) * NEAR_GLOW_GAIN;
            const float f = farGlow.at(x, y) * FAR_GLOW_GAIN;
            image.at(x, y) = RgbColor{
                clamp01(LETTER_COLOR.r * l + NEAR_GLOW_COLOR.r * n + FAR_GLOW_COLOR.r * f),
                clamp01(LETTER_COLOR.g * l + NEAR_GLOW_COLOR.g * n + FAR_GLOW_COLOR.g * f),
                clamp01(LETTER_COLOR.b * l + NEAR_GLOW_COLOR.b * n + FAR_GLOW_COLOR.b * f),
            };
        }
    }
    return image;
}
