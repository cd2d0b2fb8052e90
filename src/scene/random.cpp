#include "scene/random.h"

#include <cmath>

namespace {
constexpr std::uint32_t LCG_MULTIPLIER = 214013u;
constexpr std::uint32_t LCG_INCREMENT = 2531011u;

// Constant-initialised, so the motes' fill during static initialisation can never meet
// an unstarted generator, whatever order the translation units start in.
constinit std::uint64_t drawCount = 0;
}  // namespace

constinit std::uint32_t randomSeed = 1u;

std::uint64_t randomDrawCount() { return drawCount; }

int lcgNext() {
    randomSeed = randomSeed * LCG_MULTIPLIER + LCG_INCREMENT;
    ++drawCount;
    return int((randomSeed >> 16) & 0x7FFFu);
}

std::uint32_t lcgJump(std::uint32_t seed, std::uint64_t n) {
    // Compose the affine step x -> a*x + c with itself by repeated squaring, all
    // modulo 2^32 by unsigned wrap-around.
    std::uint32_t mul = 1u, add = 0u;                          // accumulated step
    std::uint32_t stepMul = LCG_MULTIPLIER, stepAdd = LCG_INCREMENT;  // step^(2^k)
    while (n > 0) {
        if (n & 1u) {
            mul = mul * stepMul;
            add = add * stepMul + stepAdd;
        }
        stepAdd = stepAdd * stepMul + stepAdd;
        stepMul = stepMul * stepMul;
        n >>= 1;
    }
    return seed * mul + add;
}

void randomSkip(std::uint64_t n) {
    randomSeed = lcgJump(randomSeed, n);
    drawCount += n;
}

float rangeFromDraw(float lo, float hi, int r) {
    return float(lo + (double(r) * (double(hi) - lo)) * RANDOM_SCALE);
}

float randomRange(float lo, float hi) { return rangeFromDraw(lo, hi, lcgNext()); }

Vec3 randomUnitVector() {
    const double polar = double(lcgNext()) * RANDOM_SCALE * PI_F;
    const double azimuth = double(lcgNext()) * RANDOM_SCALE * TWO_PI_F;
    return {float(std::cos(azimuth) * std::sin(polar)),
            float(std::sin(azimuth) * std::sin(polar)),
            float(std::cos(polar))};
}

Vec3 randomPointOnRing(Vec3 axis, float rMin, float rMax, float polarMin, float polarMax) {
    const double radius = rMin + (double(lcgNext()) * RANDOM_SCALE) * (double(rMax) - rMin);
    const double polar = polarMin + (double(lcgNext()) * RANDOM_SCALE) * (double(polarMax) - polarMin);
    const double azimuth = double(lcgNext()) * RANDOM_SCALE * TWO_PI_F;
    const Vec3 n = normalize(axis);
    // q's length is the sine of the angle between n and x; it is not normalised.
    const Vec3 q = cross(n, Vec3{1.0f, 0.0f, 0.0f});
    const Vec3 t = rotateAboutAxis(q, n, float(azimuth));
    const double s = std::sin(polar), c = std::cos(polar);
    return {float(radius * (s * t.x + c * n.x)),
            float(radius * (s * t.y + c * n.y)),
            float(radius * (s * t.z + c * n.z))};
}
