#pragma once
// Small math helpers built from + - * / and sqrt only, so every machine computes the same
// pixels: library sine and power functions may round differently from one C library to another.

constexpr float ART_PI = 3.14159265358979f;

inline float clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

inline float mix(float a, float b, float t)
{
    return a + (b - a) * t;
}

// 0 at t <= 0, 1 at t >= 1, with zero slope at both ends.
inline float smoothStep(float t)
{
    t = clamp01(t);
    return t * t * (3.0f - 2.0f * t);
}

// Sine of an angle in degrees, by range reduction to -90..90 and a Taylor series.
float portableSinDeg(float degrees);

inline float portableCosDeg(float degrees)
{
    return portableSinDeg(degrees + 90.0f);
}
