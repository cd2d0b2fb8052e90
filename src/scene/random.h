#pragma once
// The program's one random generator: a linear congruential sequence that is never
// reseeded, so every run unfolds the same way. Draws are counted so that tools and
// tests can report how far the sequence has advanced.
#include <bit>
#include <cstdint>

#include "scene/math.h"

// The float nearest to 1/32767: turns a draw into a fraction from 0 to 1 inclusive.
inline constexpr float RANDOM_SCALE = std::bit_cast<float>(std::uint32_t{0x38000100});

// The generator's whole state; starts at 1. Only lcgNext and randomSkip change it.
extern std::uint32_t randomSeed;

// Number of draws made since the program started.
std::uint64_t randomDrawCount();

// One draw: 0..32767.
int lcgNext();

// Advances the generator by n draws at once, exactly as n calls of lcgNext would.
void randomSkip(std::uint64_t n);

// The state the generator reaches from `seed` after n draws (no global is touched).
std::uint32_t lcgJump(std::uint32_t seed, std::uint64_t n);

// The value randomRange gives for the draw r.
float rangeFromDraw(float lo, float hi, int r);

// One draw mapped onto [lo, hi].
float randomRange(float lo, float hi);

// Two draws: polar then azimuth. Not uniform over the sphere (crowds at the poles).
Vec3 randomUnitVector();

// Three draws: radius, polar, azimuth. A point at that radius and polar angle from axis.
Vec3 randomPointOnRing(Vec3 axis, float rMin, float rMax, float polarMin, float polarMax);
