#include "glow.h"

#include <cmath>

#include "art_math.h"

constexpr int GLOW_SUBSAMPLES = 4;          // per axis, for a smooth rim
constexpr float GLOW_RADIUS_PIXELS = 31.0f; // leaves the outermost ring of pixels black

float glowFalloff(float r)
{
    if (r >= 1.0f) return 0.0f;
    const float s = 1.0f - r * r;
    const float halo = s * s;                   // wide, soft falloff
    const float s4 = halo * halo;
    const float core = s4 * s4;                 // bright, tight centre
    return 0.55f * halo + 0.45f * core;
}

RgbImage makeGlowImage()
{
    RgbImage image(GLOW_IMAGE_SIZE, GLOW_IMAGE_SIZE);
    float brightest = 0.0f;
    const float centre = static_cast<float>(GLOW_IMAGE_SIZE) * 0.5f;
    for (int y = 0; y < GLOW_IMAGE_SIZE; ++y) {
        for (int x = 0; x < GLOW_IMAGE_SIZE; ++x) {
            float sum = 0.0f;
            for (int sy = 0; sy < GLOW_SUBSAMPLES; ++sy) {
                for (int sx = 0; sx < GLOW_SUBSAMPLES; ++sx) {
                    const float dx = static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) / GLOW_SUBSAMPLES - centre;
                    const float dy = static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) / GLOW_SUBSAMPLES - centre;
                    sum += glowFalloff(std::sqrt(dx * dx + dy * dy) / GLOW_RADIUS_PIXELS);
                }
            }
            const float v = sum / static_cast<float>(GLOW_SUBSAMPLES * GLOW_SUBSAMPLES);
            image.at(x, y) = RgbColor{v, v, v};
            if (v > brightest) brightest = v;
        }
    }
    // The centre lies between four pixels, none of which quite reaches full brightness:
    // scale so that they are pure white.
    for (RgbColor& c : image.pixels) {
        const float v = c.r / brightest;
        c = RgbColor{v, v, v};
    }
    return image;
}
