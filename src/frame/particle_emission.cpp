#include "frame/particle_emission.h"

#include <cmath>

#include "saver/saver_state.h"
#include "scene/random.h"
#include "frame/scene_globals.h"

float emitBudget = 0.0f;

float emitStep() { return lowDetail ? 0.02f : 0.003f; }

namespace {
bool poolIsFull() { return particles.count >= ParticlePool::CAPACITY; }

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

// The rest of an emission whose float budget has stalled, paid in double precision:
// real particles while the pool has room, then only the draws of those it would drop.
float payStalledBudget(double budget, float step, const FrameCycles& cycles) {
    while (budget > 0.0 && !poolIsFull()) {
        emitOne(cycles);
        budget -= step;
    }
    const std::uint64_t owed = owedInDouble(budget, step);
    randomSkip(owed * DRAWS_PER_PARTICLE);
    return float(budget - double(owed) * step);
}
}  // namespace

BudgetPayout payOutBudget(float budget, float step) {
    std::uint64_t count = 0;
    while (budget > 0.0f) {
        const float next = budget - step;
        if (next == budget) {
            // Stalled: float subtraction no longer moves the budget.
            const std::uint64_t owed = owedInDouble(budget, step);
            return {count + owed, float(double(budget) - double(owed) * step)};
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

void emitParticles(float seconds, const FrameCycles& cycles) {
    emitBudget += seconds;
    const float step = emitStep();
    while (emitBudget > 0.0f) {
        if (poolIsFull()) {
            // The pool stays full for the rest of this call, so every particle still owed
            // would be dropped: pay them all at once and move the generator past their draws.
            const BudgetPayout payout = payOutBudget(emitBudget, step);
            randomSkip(payout.particles * DRAWS_PER_PARTICLE);
            emitBudget = payout.budget;
            return;
        }
        emitOne(cycles);
        const float next = emitBudget - step;
        if (next == emitBudget) {
            // After a very long frame the float budget no longer shrinks by one step (it
            // would loop for ever): count the rest in double precision.
            emitBudget = payStalledBudget(double(emitBudget) - step, step, cycles);
            return;
        }
        emitBudget = next;
    }
}
