#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "frame/particle_emission.h"
#include "frame_test_support.h"
#include "saver/saver_state.h"
#include "frame/scene_globals.h"

namespace {
void fillPool() {
    while (particles.count < ParticlePool::CAPACITY) {
        particles.emit({1, 1, 1}, {0, 0, 0}, 1.0f, 1.0f, {1, 1, 1, 1});
    }
}
}  // namespace

// At T = 0 the inner sprite is 0.8 across: sparks leave a point of the inner ring at
// 1.2 x 0.8 units/s in any direction, 0.85 x 0.8 across, in 0.8 of the ring's colour,
// to live 1 to 2 s; one for each 3 ms of the frame.
TEST(ParticleEmission, SparksLeaveTheInnerRingAtTheirSpeedSizeAndLife) {
    resetFrameState();
    for (int i = 0; i < 100; ++i) innerRing.worldPoints[i] = {float(i), 0, 0};
    innerRing.count = 100;
    emitParticles(0.033f, computeCycles(0.0));
    ASSERT_EQ(particles.count, 11);
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
    emitParticles(0.001f, computeCycles(0.0));
    EXPECT_EQ(particles.count, 0);
    EXPECT_NEAR(emitBudget, -0.0015, 1e-7);
}

// A full pool takes no more sparks, but the frame still pays for them.
TEST(ParticleEmission, FullPoolStillPays) {
    resetFrameState();
    fillPool();
    emitParticles(0.033f, computeCycles(0.0));
    EXPECT_EQ(particles.count, ParticlePool::CAPACITY);
    EXPECT_EQ(particles.entries[1999].position, (Vec3{1, 1, 1}));
    EXPECT_LE(emitBudget, 0.0f);
    EXPECT_GT(emitBudget, -0.003f);
}
