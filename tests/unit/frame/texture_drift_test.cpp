// The grid textures' slide: coordinates move by the step, and once the first vertex's u
// or v is 16 repeats or more from zero the whole repeats are taken off every vertex again
// (the texture repeats, so nothing changes on screen).
#include <gtest/gtest.h>

#include "frame/texture_drift.h"

namespace {
struct Slide {
    float u, v;    // the first vertex before
    float du, dv;  // the step
    float toU, toV;
};

const Slide slides[] = {
    {15.5f, 3.0f, 0.25f, 0.25f, 15.75f, 3.25f},    // below 16: kept
    {15.75f, 3.0f, 0.25f, 0.0f, 0.0f, 3.0f},       // exactly 16: wrapped
    {16.25f, 2.0f, 0.25f, 0.0f, 0.5f, 2.0f},       // 16.5 -> 0.5
    {-15.75f, 0.0f, -0.5f, 0.0f, -0.25f, 0.0f},    // -16.25 -> -0.25, towards zero
    {2.0f, 15.5f, 0.25f, 0.75f, 2.25f, 0.25f},     // v alone
    {1.0f, -15.5f, 0.0f, -0.75f, 1.0f, -0.25f},
    {-15.5f, 15.5f, -0.5f, 0.5f, 0.0f, 0.0f},      // both at once
    {100.25f, 0.5f, 0.25f, -0.25f, 0.5f, 0.25f},   // all whole repeats in one go
};
}  // namespace

TEST(TextureDrift, WholeRepeatsComeOffAtSixteen) {
    for (const Slide& s : slides) {
        Mesh mesh;
        mesh.addVertex({0, 0, 0}, {0, 1, 0}, s.u, s.v, {1, 1, 1, 1});
        mesh.addVertex({1, 0, 0}, {0, 1, 0}, s.u + 0.75f, s.v - 0.5f, {1, 1, 1, 1});
        driftTexture(mesh, s.du, s.dv);
        EXPECT_FLOAT_EQ(mesh.vertices[0].u, s.toU) << s.u << " + " << s.du;
        EXPECT_FLOAT_EQ(mesh.vertices[0].v, s.toV) << s.v << " + " << s.dv;
        // Every vertex moves alike, so the second keeps its offset from the first.
        EXPECT_FLOAT_EQ(mesh.vertices[1].u, s.toU + 0.75f) << s.u << " + " << s.du;
        EXPECT_FLOAT_EQ(mesh.vertices[1].v, s.toV - 0.5f) << s.v << " + " << s.dv;
    }
}
