#pragma once
// The pale glowing motes that rise and circle through a tall box around the scene.
// All of them are filled at program start from the first 8000 draws of the generator.
#include "scene/math.h"

struct Mote {
    Vec3 basePosition;  // centre of the mote's small circle
    float angle;        // phase on that circle, radians
    Color4 color;
};

inline constexpr int MOTE_CAPACITY = 1000;

extern Mote motes[MOTE_CAPACITY];
