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
// ring, as recorded by the ring's last draw. Those the pool has no room for are dropped,
// but the generator still moves past their draws.
void emitParticles(float seconds, const FrameCycles& cycles);

// Draws one spark takes from the generator: the ring point, a direction, a lifetime.
inline constexpr int DRAWS_PER_PARTICLE = 4;

// How a budget is paid, one step per particle, when the pool has room for `room` more:
// the particles it keeps (the first ones), those it drops, and the budget left, zero or
// below. Steps are taken in 32-bit floats while `budget -= step` still moves the budget;
// after a very long frame it stalls (the step is below half the budget's spacing), and
// the rest is paid in double precision, so the answer always exists.
struct EmissionPlan {
    std::uint64_t kept;
    std::uint64_t dropped;
    float budget;
};
EmissionPlan planEmission(float budget, float step, std::uint64_t room);
