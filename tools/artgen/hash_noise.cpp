#include "hash_noise.h"

#include <cmath>

namespace {
std::uint32_t mix32(std::uint32_t v)
{
    v ^= v >> 16;
    v *= 0x7FEB352Du;
    v ^= v >> 15;
    v *= 0x846CA68Bu;
    v ^= v >> 16;
    return v;
}
}  // namespace

std::uint32_t latticeHash(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = mix32(seed ^ 0x9E3779B9u);
    h = mix32(h ^ static_cast<std::uint32_t>(x));
    h = mix32(h ^ (static_cast<std::uint32_t>(y) * 0x85EBCA6Bu));
    return h;
}

namespace {
int wrap(int v, int period)
{
    const int r = v % period;
    return r < 0 ? r + period : r;
}

// Unit gradient of a lattice point, from two 16-bit halves of its hash.
void latticeGradient(int x, int y, std::uint32_t seed, float& gx, float& gy)
{
    const std::uint32_t h = latticeHash(x, y, seed);
    float ax = static_cast<float>(h & 0xFFFFu) / 32767.5f - 1.0f;
    float ay = static_cast<float>(h >> 16) / 32767.5f - 1.0f;
    float length = std::sqrt(ax * ax + ay * ay);
    if (length < 1e-3f) {  // a degenerate pick: use a fixed diagonal
        ax = 1.0f;
        ay = 1.0f;
        length = std::sqrt(2.0f);
    }
    gx = ax / length;
    gy = ay / length;
}

// Quintic fade: zero first and second derivative at 0 and 1, so octaves join without creases.
float fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

float cornerContribution(int cx, int cy, float dx, float dy, int period, std::uint32_t seed)
{
    float gx = 0.0f;
    float gy = 0.0f;
    latticeGradient(wrap(cx, period), wrap(cy, period), seed, gx, gy);
    return gx * dx + gy * dy;
}
}  // namespace

float periodicGradientNoise(float x, float y, int period, std::uint32_t seed)
{
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const float tx = x - fx;
    const float ty = y - fy;

    const float n00 = cornerContribution(ix, iy, tx, ty, period, seed);
    const float n10 = cornerContribution(ix + 1, iy, tx - 1.0f, ty, period, seed);
    const float n01 = cornerContribution(ix, iy + 1, tx, ty - 1.0f, period, seed);
    const float n11 = cornerContribution(ix + 1, iy + 1, tx - 1.0f, ty - 1.0f, period, seed);

    const float u = fade(tx);
    const float v = fade(ty);
    const float bottom = n00 + (n10 - n00) * u;
    const float top = n01 + (n11 - n01) * u;
    return bottom + (top - bottom) * v;
}
