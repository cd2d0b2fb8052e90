#include "scene/placement.h"

#include <cmath>

namespace {
bool isFinite(Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
}  // namespace

void Placement::resetAxes() {
    axisX = {1.0f, 0.0f, 0.0f};
    axisY = {0.0f, 1.0f, 0.0f};
    axisZ = {0.0f, 0.0f, 1.0f};
}

void Placement::rotateAbout(Vec3 axis, float angle) {
    // Only axisX is carried by the rotation alone; axisZ and axisY are rebuilt from it,
    // which squeezes out the drift of many small per-frame turns.
    axisX = rotateAboutAxis(axisX, axis, angle);
    axisY = rotateAboutAxis(axisY, axis, angle);
    axisZ = normalize(cross(axisX, axisY));
    axisY = cross(axisZ, axisX);
}

int Placement::lookAt(const Placement& target) {
    const Vec3 z = normalize(position - target.position);
    const Vec3 t = cross(Vec3{0.0f, 1.0f, 0.0f}, z);
    const Vec3 y = normalize(cross(z, t));
    const Vec3 x = cross(y, z);
    // Eye on the target, or a line of sight straight up or down, leaves no direction to
    // build the frame from: keep the previous axes instead of turning them into NaNs.
    if (length(z) == 0.0 || length(y) == 0.0 || !isFinite(x)) {
        return 1;
    }
    axisZ = z;
    axisY = y;
    axisX = x;
    return 1;
}

Vec3 Placement::toWorld(Vec3 q) const {
    return {float(position.x + double(q.x) * axisX.x + double(q.y) * axisY.x + double(q.z) * axisZ.x),
            float(position.y + double(q.x) * axisX.y + double(q.y) * axisY.y + double(q.z) * axisZ.y),
            float(position.z + double(q.x) * axisX.z + double(q.y) * axisY.z + double(q.z) * axisZ.z)};
}

Vec3 toLocal(Vec3 point, const Placement& placement) {
    const Vec3 d = point - placement.position;
    return {float(dot(d, placement.axisX)), float(dot(d, placement.axisY)),
            float(dot(d, placement.axisZ))};
}
