#include "scene/math.h"

#include <cmath>

double length(Vec3 v) {
    return std::sqrt(double(v.z) * v.z + double(v.y) * v.y + double(v.x) * v.x);
}

Vec3 normalize(Vec3 v) {
    const double len = length(v);
    // A zero or non-finite length has no direction; answer the zero vector rather than
    // spreading infinities and NaNs through the scene.
    if (!(len > 0.0) || !std::isfinite(len)) {
        return {0.0f, 0.0f, 0.0f};
    }
    return {float(v.x / len), float(v.y / len), float(v.z / len)};
}

Vec3 cross(Vec3 a, Vec3 b) {
    return {float(double(a.y) * b.z - double(a.z) * b.y),
            float(double(a.z) * b.x - double(a.x) * b.z),
            float(double(a.x) * b.y - double(a.y) * b.x)};
}

Vec3 rotateAboutAxis(Vec3 p, Vec3 axis, float angle) {
    // Split p into its foot c on the axis and the radial part v, then turn v within the
    // plane spanned by u (along v) and w (perpendicular to both the axis and u).
    const double along = dot(p, axis);
    const Vec3 c = {float(along * axis.x), float(along * axis.y), float(along * axis.z)};
    const Vec3 v = p - c;
    const double radius = length(v);
    const Vec3 u = normalize(v);
    const Vec3 w = cross(axis, u);
    const double wLength = length(w);
    if (wLength == 0.0 || std::isnan(wLength)) {
        return p;  // p lies on the axis, or the axis has no length
    }
    const double cosA = std::cos(double(angle));
    const double sinA = std::sin(double(angle));
    return {float(c.x + radius * (cosA * u.x + sinA * w.x)),
            float(c.y + radius * (cosA * u.y + sinA * w.y)),
            float(c.z + radius * (cosA * u.z + sinA * w.z))};
}
