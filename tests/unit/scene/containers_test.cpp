// The particle pool: ageing, motion and the swap that removes an expired particle.
#include <gtest/gtest.h>

#include <memory>

#include "scene/particle_pool.h"

TEST(ParticlePool, LifetimeIsInclusive) {
    auto pool = std::make_unique<ParticlePool>();
    pool->emit({0, 0, 0}, {0, 0, 0}, 1.0f, 1.0f, {1, 1, 1, 1});
    pool->update(0.5f);
    pool->update(0.5f);
    EXPECT_EQ(pool->count, 1);  // age equals lifetime: still live
    pool->update(0.5f);
    EXPECT_EQ(pool->count, 0);
    pool->update(0.5f);  // empty pool: nothing happens
    EXPECT_EQ(pool->count, 0);
}

TEST(ParticlePool, ExpiredSlotTakesTheLastParticleAdvancedOnce) {
    auto pool = std::make_unique<ParticlePool>();
    pool->setAcceleration({0, 6, 0});
    pool->emit({1, 0, 0}, {0, 0, 0}, 1.0f, 0.1f, {1, 0, 0, 1});  // p1 expires
    pool->emit({2, 0, 0}, {1, 0, 0}, 1.0f, 5.0f, {0, 1, 0, 1});  // p2
    pool->emit({3, 0, 0}, {0, 2, 0}, 1.0f, 5.0f, {0, 0, 1, 1});  // p3
    pool->update(0.5f);
    ASSERT_EQ(pool->count, 2);
    const Particle& first = pool->entries[0];
    const Particle& second = pool->entries[1];
    EXPECT_EQ(first.color.b, 1.0f);  // p3 moved into slot 0
    EXPECT_FLOAT_EQ(first.age, 0.5f);
    EXPECT_FLOAT_EQ(first.position.y, 1.0f);   // old velocity 2 for 0.5 s
    EXPECT_FLOAT_EQ(first.velocity.y, 5.0f);   // then accelerated by 6 * 0.5
    EXPECT_EQ(second.color.g, 1.0f);  // p2 stays in slot 1
    EXPECT_FLOAT_EQ(second.position.x, 2.5f);
    EXPECT_FLOAT_EQ(second.age, 0.5f);
}

TEST(ParticlePool, LastParticleExpiringMovesNothing) {
    auto pool = std::make_unique<ParticlePool>();
    pool->emit({1, 0, 0}, {0, 0, 0}, 1.0f, 5.0f, {1, 0, 0, 1});
    pool->emit({2, 0, 0}, {0, 0, 0}, 1.0f, 0.1f, {0, 1, 0, 1});
    pool->update(0.5f);
    ASSERT_EQ(pool->count, 1);
    EXPECT_EQ(pool->entries[0].position.x, 1.0f);
}

