#pragma once
// Sparks rising from the inner ring: one particle for every emitStep seconds of frame
// time, with the time owed carried from frame to frame.
#include <cstdint>

#include "frame/scene_animation.h"

// Frame time owed to emission, in seconds; zero or negative between frames.
extern float emitBudget;

// Frame time paid for one particle: 0.003 s, or 0.02 s in low detail.
float emitStep();

// Emits the particles owed after a frame of `seconds` from random points of the inner
// ring, as recorded by the ring's last draw.
void emitParticles(float seconds, const FrameCycles& cycles);

// Draws one spark takes from the generator: the ring point, a direction, a lifetime.
inline constexpr int DRAWS_PER_PARTICLE = 4;

// How many more times `budget -= step` runs, in 32-bit floats, before the budget is no
// longer above zero, and the budget it leaves. When float subtraction stalls (the step is
// below half the budget's spacing) the count goes on in double precision, so the answer
// always exists.
struct BudgetPayout {
    std::uint64_t particles;
    float budget;
};
BudgetPayout payOutBudget(float budget, float step);
