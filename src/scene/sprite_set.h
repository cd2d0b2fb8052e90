#pragma once
// A fixed set of up to 1000 points drawn as glowing sprites sharing one texture, size
// and colour. The drawing code records each point's world position as it draws, so
// sparks can be emitted from wherever the turning ring has carried the points.
#include <cstdint>

#include "scene/math.h"

struct Texture;

struct SpriteSet {
    static constexpr int CAPACITY = 1000;

    bool hasTexture = false;
    Vec3 points[CAPACITY];
    Vec3 worldPoints[CAPACITY] = {};
    std::int32_t count = 0;
    Texture* texture = nullptr;
    float size = 1.0f;
    Color4 color = {1.0f, 1.0f, 1.0f, 1.0f};

    // 1 when appended, 0 when the set is full.
    int addPoint(Vec3 p);
    // The recorded world position of point i, or the origin for i beyond count.
    Vec3 worldPoint(int i) const;
    int setTexture(Texture* t);
    int setSize(float s);
    int setColor(Color4 c);
};
