#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>

#include "frame/scene_animation.h"
#include "frame_test_support.h"
#include "scene/motes.h"
#include "frame/scene_globals.h"

namespace {
void expectColor(Color4 c, double r, double g, double b, double tol = 1e-6) {
    EXPECT_NEAR(c.r, r, tol);
    EXPECT_NEAR(c.g, g, tol);
    EXPECT_NEAR(c.b, b, tol);
}

double cameraDistance() { return length(camera.position); }
}  // namespace

TEST(SceneAnimation, CyclesAtTheStart) {
    const FrameCycles c = computeCycles(0.0);
    expectColor(c.innerRingColor, 0.55, 0.6, 0.65);
    expectColor(c.outerRingColor, 0.55, 0.6, 0.65);
    expectColor(c.emitColor, 0.44, 0.48, 0.52);
    EXPECT_EQ(c.innerRingColor.a, 1.0f);
    EXPECT_EQ(c.emitColor.a, 1.0f);
    EXPECT_NEAR(c.innerSpriteSize, 0.8, 1e-6);
    EXPECT_NEAR(c.outerSpriteSize, 0.7, 1e-6);
    // A quarter period of the inner red channel: full red, and sizes within their ranges.
    const FrameCycles q = computeCycles(std::acos(-1.0) / 2);
    EXPECT_NEAR(q.innerRingColor.r, 1.0, 1e-6);
    for (double t = 0; t < 200; t += 0.37) {
        const FrameCycles k = computeCycles(t);
        ASSERT_GE(k.innerSpriteSize, 0.4f);
        ASSERT_LE(k.innerSpriteSize, 1.2f + 1e-6f);
        ASSERT_LE(k.outerSpriteSize, 1.0f + 1e-6f);
    }
}

TEST(SceneAnimation, CameraPathSamples) {
    resetFrameState();
    updateCameraPath(0.0);
    EXPECT_NEAR(camera.position.x, 0.0, 1e-5);
    EXPECT_NEAR(camera.position.y, 0.0, 1e-5);
    EXPECT_NEAR(camera.position.z, 40.0, 1e-5);
    EXPECT_NEAR(camera.axisZ.z, 1.0, 1e-6);  // looking along -z at (0, 0, -15)

    updateCameraPath(10.0);
    EXPECT_NEAR(camera.position.x, 8.91, 0.01);
    EXPECT_NEAR(camera.position.y, 26.30, 0.01);
    EXPECT_NEAR(camera.position.z, 28.81, 0.01);

    updateCameraPath(50.0);
    EXPECT_NEAR(camera.position.x, 18.16, 0.01);
    EXPECT_NEAR(camera.position.y, 22.73, 0.01);
    EXPECT_NEAR(camera.position.z, 1.29, 0.01);
    EXPECT_NEAR(cameraDistance(), 40 * 0.728, 0.05);

    const double samples[][2] = {{25, 51.7}, {45, 47.2}, {50, 29.1}};
    for (const auto& s : samples) {
        updateCameraPath(s[0]);
        EXPECT_NEAR(cameraDistance(), s[1], 0.05) << "T = " << s[0];
        // Always aimed at the rings' centre.
        const Vec3 centre = toLocal(innerRingPlacement.position, camera);
        EXPECT_NEAR(centre.x, 0.0, 1e-3);
        EXPECT_NEAR(centre.y, 0.0, 1e-3);
        EXPECT_LT(centre.z, 0.0f);
    }
}

TEST(SceneAnimation, GridsWrapOnceAndStrictly) {
    resetFrameState();
    camera.position = {0, 1000, 0};
    gridPlacement1.position.y = 40.0f;
    gridPlacement2.position.y = 40.001f;
    gridPlacement3.position.y = 0.0f;
    driftGrids(0.0f);
    EXPECT_EQ(gridPlacement1.position.y, 40.0f);
    EXPECT_NEAR(gridPlacement2.position.y, -39.999, 1e-4);
    // A stall that carries a grid past 40 + 80 still wraps only once.
    driftGrids(30.0f);
    EXPECT_EQ(gridPlacement3.position.y, 70.0f);
    driftGrids(0.0f);
    EXPECT_EQ(gridPlacement3.position.y, -10.0f);
}

TEST(SceneAnimation, GridFadesStartFromTheBaseColourAndTheLastCheckDecides) {
    resetFrameState();
    camera.position = {0, 1000, 0};
    gridPlacement1.position.y = 25.0f;  // 15 from +40: d = 1.5, untouched
    gridPlacement2.position.y = 35.0f;  // 5 from +40: factor 0
    gridPlacement3.position.y = 0.0f;   // far from every level
    driftGrids(0.0f);
    EXPECT_EQ(gridMesh1.vertices[0].color, gridBaseColor);
    expectColor(gridMesh2.vertices[3].color, 0, 0, 0);
    EXPECT_EQ(gridMesh2.vertices[3].color.a, 0.5f);
    EXPECT_EQ(gridMesh3.vertices[0].color, gridBaseColor);

    // Near the camera (black) and 10 from +40 (half): +40 is checked later and decides.
    camera.position.y = 28.0f;
    gridPlacement1.position.y = 30.0f;
    driftGrids(0.0f);
    expectColor(gridMesh1.vertices[0].color, 0.1, 0.05, 0.2);
    // Near the camera only: black; a grid far from every level is back to the base colour.
    camera.position.y = 3.0f;
    gridPlacement1.position.y = 0.0f;
    gridPlacement2.position.y = -20.0f;
    driftGrids(0.0f);
    expectColor(gridMesh1.vertices[0].color, 0, 0, 0);
    expectColor(gridMesh2.vertices[0].color, 0.2, 0.1, 0.4);
}

TEST(SceneAnimation, MotesRiseWrapAndOnlyTheCountedOnesMove) {
    resetFrameState();
    Mote saved[MOTE_CAPACITY];
    std::copy(std::begin(motes), std::end(motes), std::begin(saved));
    moteCount = 400;
    motes[0].basePosition.y = 49.0f;
    motes[0].angle = 6.0f;
    motes[1].basePosition.y = 0.0f;
    motes[1].angle = 1.0f;
    const Mote untouched = motes[400];
    animateMotes(0.5f);
    EXPECT_FLOAT_EQ(motes[0].basePosition.y, 51.5f - 100.0f);
    EXPECT_NEAR(motes[0].angle, 6.5 - 6.283185, 1e-6);
    EXPECT_FLOAT_EQ(motes[1].basePosition.y, 2.5f);
    EXPECT_FLOAT_EQ(motes[1].angle, 1.5f);
    EXPECT_EQ(motes[400].basePosition, untouched.basePosition);
    EXPECT_EQ(motes[400].angle, untouched.angle);
    // x, z and colours never change.
    EXPECT_EQ(motes[0].basePosition.x, saved[0].basePosition.x);
    EXPECT_EQ(motes[0].color, saved[0].color);
    std::copy(std::begin(saved), std::end(saved), std::begin(motes));
}
