#include "icon_art.h"

#include <cmath>

#include "art_math.h"
#include "ordered_dither.h"
#include "rgb_image.h"

namespace {
// The 16 colours every display shows, in their usual order.
const std::uint32_t STANDARD_COLORS[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

// From the ground inwards: black, purple, blue, white.
const unsigned char GLOW_RAMP[] = {0, 5, 12, 15};
constexpr int GLOW_RAMP_STEPS = sizeof(GLOW_RAMP) - 1;
constexpr float GROUND_RAMP_LEVEL = 0.5f;  // the ground: an even checkerboard of black and purple

constexpr int CUBE_OFFSET = 16;
constexpr int GREY_OFFSET = CUBE_OFFSET + 216;

constexpr RgbColor ICON_GROUND{0.2f, 0.0f, 0.4f};  // a colour of the cube itself, so the ground is flat
constexpr RgbColor ICON_VIOLET{0.42f, 0.30f, 1.0f};
constexpr RgbColor ICON_CORE{1.0f, 1.0f, 1.0f};
constexpr float ICON_GLOW_RADIUS = 15.5f;

// Glow strength at a pixel of a size x size icon: 1 in the centre, 0 from the rim of the
// glow outwards.
float iconGlow(int x, int y, int size = ICON_SIZE)
{
    const float scale = static_cast<float>(size) / static_cast<float>(ICON_SIZE);
    const float centre = static_cast<float>(size) * 0.5f - 0.5f;
    const float dx = static_cast<float>(x) - centre;
    const float dy = static_cast<float>(y) - centre;
    const float r = std::sqrt(dx * dx + dy * dy) / (ICON_GLOW_RADIUS * scale);
    if (r >= 1.0f) return 0.0f;
    const float s = 1.0f - r;
    return s * s * (1.0f + 0.5f * r);
}

RgbColor iconColor(float glow)
{
    const float toViolet = smoothStep(glow / 0.6f);
    const float toCore = smoothStep((glow - 0.45f) / 0.55f);
    RgbColor c{mix(ICON_GROUND.r, ICON_VIOLET.r, toViolet), mix(ICON_GROUND.g, ICON_VIOLET.g, toViolet),
               mix(ICON_GROUND.b, ICON_VIOLET.b, toViolet)};
    return RgbColor{mix(c.r, ICON_CORE.r, toCore), mix(c.g, ICON_CORE.g, toCore), mix(c.b, ICON_CORE.b, toCore)};
}

PaletteImage emptyIcon(int bitsPerPixel)
{
    PaletteImage image;
    image.width = ICON_SIZE;
    image.height = ICON_SIZE;
    image.bitsPerPixel = bitsPerPixel;
    image.indices.assign(static_cast<std::size_t>(ICON_SIZE) * ICON_SIZE, 0);
    return image;
}
}  // namespace

PaletteImage makeIcon16()
{
    PaletteImage image = emptyIcon(4);
    image.palette.assign(std::begin(STANDARD_COLORS), std::end(STANDARD_COLORS));
    for (int y = 0; y < ICON_SIZE; ++y) {
        for (int x = 0; x < ICON_SIZE; ++x) {
            const float level = mix(GROUND_RAMP_LEVEL, static_cast<float>(GLOW_RAMP_STEPS), iconGlow(x, y));
            int step = static_cast<int>(level + bayerThreshold(x, y));
            if (step > GLOW_RAMP_STEPS) step = GLOW_RAMP_STEPS;
            image.indices[static_cast<std::size_t>(y) * ICON_SIZE + x] = GLOW_RAMP[step];
        }
    }
    return image;
}

namespace {
// One colour channel dithered to the six cube levels 0..5.
int cubeLevel(float value, float threshold)
{
    const int level = static_cast<int>(clamp01(value) * 5.0f + threshold);
    return level > 5 ? 5 : level;
}
}  // namespace

PaletteImage makeIcon256()
{
    PaletteImage image = emptyIcon(8);
    image.palette.assign(std::begin(STANDARD_COLORS), std::end(STANDARD_COLORS));
    for (std::uint32_t r = 0; r < 6; ++r) {
        for (std::uint32_t g = 0; g < 6; ++g) {
            for (std::uint32_t b = 0; b < 6; ++b) image.palette.push_back((r * 51u) << 16 | (g * 51u) << 8 | b * 51u);
        }
    }
    for (std::uint32_t i = 1; i <= 256 - GREY_OFFSET; ++i) {
        const std::uint32_t grey = i * 255u / (256u - GREY_OFFSET + 1u);
        image.palette.push_back(grey << 16 | grey << 8 | grey);
    }

    for (int y = 0; y < ICON_SIZE; ++y) {
        for (int x = 0; x < ICON_SIZE; ++x) {
            const RgbColor c = iconColor(iconGlow(x, y));
            const float threshold = bayerThreshold(x, y);
            const int index = CUBE_OFFSET + cubeLevel(c.r, threshold) * 36 + cubeLevel(c.g, threshold) * 6 +
                              cubeLevel(c.b, threshold);
            image.indices[static_cast<std::size_t>(y) * ICON_SIZE + x] = static_cast<unsigned char>(index);
        }
    }
    return image;
}

RgbImage makeIconTrueColor(int size)
{
    RgbImage image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) image.at(x, y) = iconColor(iconGlow(x, y, size));
    }
    return image;
}
