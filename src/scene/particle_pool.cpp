#include "scene/particle_pool.h"

void ParticlePool::emit(Vec3 position, Vec3 velocity, float size, float lifetime, Color4 color) {
    if (count >= CAPACITY) {
        return;
    }
    entries[count++] = Particle{position, velocity, 0.0f, lifetime, size, color};
}

void ParticlePool::update(float dt) {
    const double step = dt;
    int i = 0;
    while (i < count) {
        Particle& p = entries[i];
        p.age += dt;
        p.position = {float(p.position.x + step * p.velocity.x),
                      float(p.position.y + step * p.velocity.y),
                      float(p.position.z + step * p.velocity.z)};
        p.velocity = {float(p.velocity.x + step * acceleration.x),
                      float(p.velocity.y + step * acceleration.y),
                      float(p.velocity.z + step * acceleration.z)};
        if (p.age > p.lifetime) {
            // Fill the hole with the last live particle, which has not been advanced in
            // this pass yet, and look at this slot again.
            entries[i] = entries[count - 1];
            --count;
        } else {
            ++i;
        }
    }
}

void ParticlePool::setAcceleration(Vec3 a) { acceleration = a; }

void ParticlePool::setTexture(Texture* t) { texture = t; }
