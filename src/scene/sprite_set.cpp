#include "scene/sprite_set.h"

int SpriteSet::addPoint(Vec3 p) {
    if (count >= CAPACITY) {
        return 0;
    }
    points[count++] = p;
    return 1;
}

Vec3 SpriteSet::worldPoint(int i) const {
    if (i < 0 || i >= count) {
        return {0.0f, 0.0f, 0.0f};
    }
    return worldPoints[i];
}

int SpriteSet::setTexture(Texture* t) {
    texture = t;
    hasTexture = true;
    return 1;
}

int SpriteSet::setSize(float s) {
    size = s;
    return 1;
}

int SpriteSet::setColor(Color4 c) {
    color = c;
    return 1;
}
