#pragma once
// A fixed pool of 2000 short-lived particles. Live particles fill slots 0..count-1 with
// no holes: an expired one is replaced by the last live one.
#include <cstdint>

#include "scene/math.h"

struct Texture;

struct Particle {
    Vec3 position = {0.0f, 0.0f, 0.0f};
    Vec3 velocity = {0.0f, 0.0f, 0.0f};
    float age = 0.0f;
    float lifetime = 1.0f;
    float size = 1.0f;
    Color4 color = {0.0f, 0.0f, 0.0f, 0.0f};
};

struct ParticlePool {
    static constexpr int CAPACITY = 2000;

    Particle entries[CAPACITY];
    std::int32_t count = 0;
    Vec3 acceleration = {0.0f, 0.0f, 0.0f};
    Texture* texture = nullptr;

    // Appends a particle; ignored when the pool is full.
    void emit(Vec3 position, Vec3 velocity, float size, float lifetime, Color4 color);
    // Ages, moves and accelerates every live particle once and drops those whose age
    // has passed their lifetime.
    void update(float dt);
    void setAcceleration(Vec3 a);
    void setTexture(Texture* t);
};
