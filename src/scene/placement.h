#pragma once
// A position and three axes: where a drawn object (or the eye) stands and how it turns.
// A local point (x, y, z) lies at position + x*axisX + y*axisY + z*axisZ. The camera
// looks along -axisZ.
#include "scene/math.h"

struct Placement {
    Vec3 position;
    Vec3 axisX;
    Vec3 axisY;
    Vec3 axisZ;

    // Identity axes; the position stays.
    void resetAxes();

    // Turns the axes about a world axis through the placement's own origin.
    void rotateAbout(Vec3 axis, float angle);

    // Aims the placement from its position at the target's position, keeping its up
    // axis as near to world up as possible. When the eye sits on the target or looks
    // straight up or down, the previous axes are kept. Always returns 1.
    int lookAt(const Placement& target);

    // The world position of a point given in this placement's coordinates.
    Vec3 toWorld(Vec3 local) const;
};

// A world point in the coordinates of the placement (eye coordinates for the camera).
Vec3 toLocal(Vec3 point, const Placement& placement);
