#include "frame/particle_emission.h"

#include <cmath>

#include "saver/saver_state.h"
#include "scene/random.h"
#include "frame/scene_globals.h"

float emitBudget = 0.0f;

float emitStep() { return lowDetail ? 0.02f : 0.003f; }

namespace {
// One spark from a random point of the inner ring: four draws, in this order: the ring
// point, the two angles of its direction, its lifetime.
void emitOne(const FrameCycles& cycles) {
    const int i = lcgNext() % ringPointCount;
    const Vec3 origin = innerRing.worldPoint(i);
    const Vec3 direction = randomUnitVector();
    const double speed = 1.2 * cycles.innerSpriteSize;
    const Vec3 velocity = {float(direction.x * speed), float(direction.y * speed), float(direction.z * speed)};
    const float lifetime = randomRange(1.0f, 2.0f);
    particles.emit(origin, velocity, float(cycles.innerSpriteSize * 0.85), lifetime, cycles.emitColor);
}

// How many times `budget -= step` runs, and the budget it leaves.
struct BudgetPayout {
    std::uint64_t particles;
    float budget;
};

// Float steps of `budget -= step` while the budget is above zero and the subtraction
// still moves it: how many, and the budget they leave (above zero only if it stalled).
BudgetPayout payInFloatSteps(float budget, float step) {
    std::uint64_t count = 0;
    while (budget > 0.0f) {
        const float next = budget - step;
        if (next == budget) {
            break;
        }
        if (budget >= 1.0f) {
            // Within one binade, away from its bottom, every subtraction removes the same
            // exact amount r (the budget stays on the binade's grid, and no rounding tie
            // can occur at these magnitudes), so a whole run of steps is taken at once.
            const float r = budget - next;
            int exponent = 0;
            std::frexp(budget, &exponent);
            const double room = double(budget) - std::ldexp(1.0, exponent - 1);
            const std::uint64_t run = room > r ? std::uint64_t((room - r) / r) : 0;
            if (run > 0) {
                budget = float(double(budget) - double(run) * r);
                count += run;
                continue;
            }
        }
        budget = next;
        ++count;
    }
    return {count, budget};
}

// Particles still owed for a budget counted in double precision.
std::uint64_t owedInDouble(double budget, float step) {
    if (!(budget > 0.0)) {
        return 0;
    }
    auto owed = std::uint64_t(std::ceil(budget / step));
    while (budget - double(owed) * step > 0.0) {
        ++owed;  // make sure the rounding of the division never leaves a payment out
    }
    return owed;
}
}  // namespace

EmissionPlan planEmission(float budget, float step, std::uint64_t room) {
    // Kept particles, one float step each, while the subtraction moves the budget.
    std::uint64_t kept = 0;
    while (budget > 0.0f && kept < room) {
        const float next = budget - step;
        if (next == budget) {
            break;
        }
        budget = next;
        ++kept;
    }
    // The pool is full: the float steps of every particle it drops, counted at once.
    std::uint64_t dropped = 0;
    if (budget > 0.0f && kept == room) {
        const BudgetPayout run = payInFloatSteps(budget, step);
        dropped = run.particles;
        budget = run.budget;
    }
    if (!(budget > 0.0f)) {
        return {kept, dropped, budget};
    }
    // Stalled: after a very long frame the float budget no longer shrinks by one step (it
    // would loop for ever), so the rest is paid in double precision, kept particles first.
    double rest = budget;
    while (rest > 0.0 && kept < room) {
        rest -= step;
        ++kept;
    }
    const std::uint64_t owed = owedInDouble(rest, step);
    return {kept, dropped + owed, float(rest - double(owed) * step)};
}

void emitParticles(float seconds, const FrameCycles& cycles) {
    emitBudget += seconds;
    const std::int32_t room = ParticlePool::CAPACITY - particles.count;
    const EmissionPlan plan = planEmission(emitBudget, emitStep(), room > 0 ? std::uint64_t(room) : 0);
    // The draws in the order the particles are paid: the kept ones, then the dropped ones.
    for (std::uint64_t i = 0; i < plan.kept; ++i) {
        emitOne(cycles);
    }
    randomSkip(plan.dropped * DRAWS_PER_PARTICLE);
    emitBudget = plan.budget;
}
