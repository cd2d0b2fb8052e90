#pragma once
// Vectors, colours and the small helpers the scene speaks in. Values are stored as
// 32-bit floats. The Vec3 operators work in float, component by component, so each
// result is rounded to float. dot, length, normalize and cross evaluate in double
// and round once at the end (dot and length answer in double); rotateAboutAxis works in
// double too, but its intermediate vectors are Vec3 values, rounded to float on the way.
#include <bit>
#include <cstdint>

struct Vec3 {
    float x, y, z;
};

struct Color4 {
    float r, g, b, a;
};

// The angle constants are one float step below the float nearest to the true value.
inline constexpr float PI_F = std::bit_cast<float>(std::uint32_t{0x40490FDA});
inline constexpr float TWO_PI_F = std::bit_cast<float>(std::uint32_t{0x40C90FDA});
inline constexpr float HALF_PI_F = std::bit_cast<float>(std::uint32_t{0x3FC90FDA});

// The scene's vertical: the axis the rings spin about and the camera circles.
inline constexpr Vec3 UP = {0.0f, 1.0f, 0.0f};

constexpr Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
constexpr Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
constexpr Vec3 operator*(Vec3 v, float s) { return {v.x * s, v.y * s, v.z * s}; }
constexpr bool operator==(Vec3 a, Vec3 b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
constexpr bool operator==(Color4 a, Color4 b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

// Dot product summed in the order z, y, x, in double.
constexpr double dot(Vec3 a, Vec3 b) {
    return double(a.z) * b.z + double(a.y) * b.y + double(a.x) * b.x;
}

double length(Vec3 v);

// Unit vector along v; the zero vector (or a non-finite one) gives the zero vector.
Vec3 normalize(Vec3 v);

Vec3 cross(Vec3 a, Vec3 b);

// p turned by angle (radians, counter-clockwise seen from the axis tip) about the line
// through the origin along the unit vector axis. A point on the axis, or a zero axis,
// comes back unchanged.
Vec3 rotateAboutAxis(Vec3 p, Vec3 axis, float angle);

// x when x >= 0; 0 for negative x and for NaN.
constexpr float clampToZero(float x) { return x >= 0.0f ? x : 0.0f; }

