#include "grid_noise.h"

#include <vector>

#include "art_math.h"
#include "hash_noise.h"

namespace {
constexpr std::uint32_t GRID_SEED = 0x0A5E1108u;
constexpr int GRID_OCTAVES = 5;
constexpr int GRID_BASE_PERIOD = 4;     // lattice cells across the tile in the coarsest octave
constexpr float GRID_DARKEST = 0.16f;   // grey of the lowest noise value
constexpr float GRID_LIGHTEST = 0.86f;  // grey of the highest

// Sum of octaves, each twice as fine and half as strong as the one before. Every octave has a
// whole number of lattice cells across the tile, so the sum repeats with the tile.
float cloudValue(int px, int py)
{
    float sum = 0.0f;
    float amplitude = 1.0f;
    int period = GRID_BASE_PERIOD;
    for (int octave = 0; octave < GRID_OCTAVES; ++octave) {
        const float scale = static_cast<float>(period) / static_cast<float>(GRID_IMAGE_SIZE);
        const float x = (static_cast<float>(px) + 0.5f) * scale;
        const float y = (static_cast<float>(py) + 0.5f) * scale;
        sum += amplitude * periodicGradientNoise(x, y, period, GRID_SEED + static_cast<std::uint32_t>(octave));
        amplitude *= 0.5f;
        period *= 2;
    }
    return sum;
}
}  // namespace

RgbImage makeGridImage()
{
    std::vector<float> values(static_cast<std::size_t>(GRID_IMAGE_SIZE) * GRID_IMAGE_SIZE);
    float low = 0.0f;
    float high = 0.0f;
    for (int y = 0; y < GRID_IMAGE_SIZE; ++y) {
        for (int x = 0; x < GRID_IMAGE_SIZE; ++x) {
            const float v = cloudValue(x, y);
            values[static_cast<std::size_t>(y) * GRID_IMAGE_SIZE + x] = v;
            if ((x == 0 && y == 0) || v < low) low = v;
            if ((x == 0 && y == 0) || v > high) high = v;
        }
    }

    RgbImage image(GRID_IMAGE_SIZE, GRID_IMAGE_SIZE);
    const float span = high > low ? high - low : 1.0f;
    for (int y = 0; y < GRID_IMAGE_SIZE; ++y) {
        for (int x = 0; x < GRID_IMAGE_SIZE; ++x) {
            const float t = (values[static_cast<std::size_t>(y) * GRID_IMAGE_SIZE + x] - low) / span;
            // A gentle S-curve spreads the middle greys for more contrast in the clouds.
            const float shaped = mix(t, smoothStep(t), 0.5f);
            const float grey = mix(GRID_DARKEST, GRID_LIGHTEST, shaped);
            image.at(x, y) = RgbColor{grey, grey, grey};
        }
    }
    return image;
}
