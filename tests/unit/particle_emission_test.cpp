#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "frame/particle_emission.h"
#include "frame_test_support.h"
#include "saver/saver_state.h"
#include "scene/random.h"
#include "frame/scene_globals.h"

namespace {
// The plain float loop of the emission rule, for budgets where it ends: how many times
// `budget -= step` runs, and the budget it leaves.
struct BudgetPayout {
    std::uint64_t particles;
    float budget;
};
BudgetPayout naivePayout(float budget, float step) {
    std::uint64_t n = 0;
    while (budget > 0.0f) {
        budget -= step;
        ++n;
    }
    return {n, budget};
}

void fillPool() {
    while (particles.count < ParticlePool::CAPACITY) {
        particles.emit({1, 1, 1}, {0, 0, 0}, 1.0f, 1.0f, {1, 1, 1, 1});
    }
}
}  // namespace

// At T = 0 the inner sprite is 0.8 across: sparks leave a point of the inner ring at
// 1.2 x 0.8 units/s in any direction, 0.85 x 0.8 across, in 0.8 of the ring's colour,
// to live 1 to 2 s; one for each 3 ms of the frame, four draws each.
TEST(ParticleEmission, SparksLeaveTheInnerRingAtTheirSpeedSizeAndLife) {
    resetFrameState();
    for (int i = 0; i < 100; ++i) innerRing.worldPoints[i] = {float(i), 0, 0};
    innerRing.count = 100;
    const std::uint64_t draws = randomDrawCount();
    emitParticles(0.033f, computeCycles(0.0));
    ASSERT_EQ(particles.count, 11);
    EXPECT_EQ(randomDrawCount() - draws, 44u);
    EXPECT_LE(emitBudget, 0.0f);
    EXPECT_GT(emitBudget, -1e-6f);
    emitParticles(0.3f, computeCycles(0.0));
    ASSERT_EQ(particles.count, 111);
    float longest = 0.0f;
    for (int i = 0; i < particles.count; ++i) {
        const Particle& p = particles.entries[i];
        EXPECT_EQ(p.position, (Vec3{std::round(p.position.x), 0, 0}));
        EXPECT_NEAR(length(p.velocity), 1.2 * 0.8, 1e-6);
        EXPECT_NEAR(p.size, 0.8 * 0.85, 1e-6);
        EXPECT_NEAR(p.color.r, 0.44, 1e-6);
        EXPECT_TRUE(p.lifetime >= 1.0f && p.lifetime <= 2.0f) << p.lifetime;
        longest = std::max(longest, p.lifetime);
    }
    EXPECT_GT(longest, 1.95f);
    innerRing.count = 0;
}

TEST(ParticleEmission, LowDetailAndCarriedBudget) {
    resetFrameState();
    lowDetail = 1;
    emitParticles(0.033f, computeCycles(0.0));
    EXPECT_EQ(particles.count, 2);
    EXPECT_NEAR(emitBudget, -0.007, 1e-6);

    lowDetail = 0;
    particles.count = 0;
    emitBudget = -0.0025f;
    const std::uint64_t draws = randomDrawCount();
    emitParticles(0.001f, computeCycles(0.0));
    EXPECT_EQ(particles.count, 0);
    EXPECT_NEAR(emitBudget, -0.0015, 1e-7);
    EXPECT_EQ(randomDrawCount(), draws);
}

TEST(ParticleEmission, FullPoolStillDrawsAndPays) {
    resetFrameState();
    fillPool();
    const std::uint64_t draws = randomDrawCount();
    emitParticles(0.033f, computeCycles(0.0));
    EXPECT_EQ(particles.count, ParticlePool::CAPACITY);
    EXPECT_EQ(particles.entries[1999].position, (Vec3{1, 1, 1}));
    EXPECT_EQ(randomDrawCount() - draws, 44u);
    EXPECT_EQ(emitBudget, naivePayout(0.033f, 0.003f).budget);
}

TEST(ParticleEmission, PayoutMatchesTheFloatLoopWhereItEnds) {
    const float budgets[] = {0.033f, 0.5f, 1.0f, 1.0009f, 3.7f, 17.25f, 300.1f, 4096.0f, 5000.3f, 65535.99f};
    for (float step : {0.003f, 0.02f}) {
        for (float b : budgets) {
            const EmissionPlan fast = planEmission(b, step, 0);
            const BudgetPayout slow = naivePayout(b, step);
            EXPECT_EQ(fast.dropped, slow.particles) << b << " step " << step;
            EXPECT_EQ(fast.budget, slow.budget) << b << " step " << step;
        }
    }
}

TEST(ParticleEmission, StalledBudgetIsCountedInDouble) {
    // Above 65536 a float budget no longer shrinks by 0.003, so the plain loop would not end.
    const EmissionPlan p = planEmission(100000.0f, 0.003f, 0);
    EXPECT_EQ(p.dropped, std::uint64_t(std::ceil(100000.0 / double(0.003f))));
    EXPECT_LE(p.budget, 0.0f);
    EXPECT_GT(p.budget, -0.003f);
    EXPECT_EQ(planEmission(600000.0f, 0.02f, 0).dropped, std::uint64_t(std::ceil(600000.0 / double(0.02f))));
}
