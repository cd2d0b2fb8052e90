// The fixed-capacity containers: sprite sets and the particle pool.
#include <gtest/gtest.h>

#include <memory>

#include "scene/particle_pool.h"
#include "scene/sprite_set.h"

TEST(SpriteSet, CapacityAndWorldPointBounds) {
    auto set = std::make_unique<SpriteSet>();
    EXPECT_EQ(set->count, 0);
    EXPECT_FALSE(set->hasTexture);
    EXPECT_EQ(set->size, 1.0f);
    for (int i = 0; i < SpriteSet::CAPACITY; ++i) {
        ASSERT_EQ(set->addPoint({float(i), 0, 0}), 1);
    }
    EXPECT_EQ(set->addPoint({1, 2, 3}), 0);
    EXPECT_EQ(set->count, 1000);
    set->count = 3;
    set->worldPoints[2] = {4, 5, 6};
    EXPECT_EQ(set->worldPoint(2), (Vec3{4, 5, 6}));
    set->worldPoints[3] = {7, 8, 9};
    EXPECT_EQ(set->worldPoint(3), (Vec3{0, 0, 0}));
    EXPECT_EQ(set->worldPoint(5000), (Vec3{0, 0, 0}));
    EXPECT_EQ(set->worldPoint(-1), (Vec3{0, 0, 0}));
}

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

TEST(ParticlePool, FullPoolIgnoresEmit) {
    auto pool = std::make_unique<ParticlePool>();
    for (int i = 0; i < ParticlePool::CAPACITY; ++i) {
        pool->emit({float(i), 0, 0}, {0, 0, 0}, 1.0f, 1.0f, {1, 1, 1, 1});
    }
    pool->emit({-1, -1, -1}, {0, 0, 0}, 9.0f, 9.0f, {1, 1, 1, 1});
    EXPECT_EQ(pool->count, 2000);
    EXPECT_EQ(pool->entries[1999].position.x, 1999.0f);
}
