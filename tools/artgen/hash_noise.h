#pragma once
// Fixed-seed integer hashing and tileable gradient noise.
#include <cstdint>

// A well-mixed 32-bit value for a lattice point; the same inputs always give the same value.
std::uint32_t latticeHash(int x, int y, std::uint32_t seed);

// Gradient noise over a lattice of `period` x `period` cells that repeats every `period` cells
// in both directions. x and y are in cell units. Result roughly -0.7 .. 0.7, 0 on lattice points.
float periodicGradientNoise(float x, float y, int period, std::uint32_t seed);
