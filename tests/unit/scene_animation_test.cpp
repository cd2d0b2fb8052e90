#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <tuple>
#include <utility>

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

namespace {
// One channel of the per-frame cycles: it swings between low and high as
// low + (high - low) (1 + sin wT) / 2, so it starts at its middle, tops out a quarter
// period later and bottoms out three quarters of a period later.
struct Cycle {
    const char* name;
    float (*value)(const FrameCycles&);
    double low, high, w;
};

const Cycle cycles[] = {
    {"inner red", [](const FrameCycles& c) { return c.innerRingColor.r; }, 0.1, 1.0, 1.0},
    {"inner green", [](const FrameCycles& c) { return c.innerRingColor.g; }, 0.2, 1.0, 0.7},
    {"inner blue", [](const FrameCycles& c) { return c.innerRingColor.b; }, 0.3, 1.0, 0.4},
    {"outer red", [](const FrameCycles& c) { return c.outerRingColor.r; }, 0.1, 1.0, 0.2},
    {"outer green", [](const FrameCycles& c) { return c.outerRingColor.g; }, 0.2, 1.0, 0.14},
    {"outer blue", [](const FrameCycles& c) { return c.outerRingColor.b; }, 0.3, 1.0, 0.12},
    // Sparks take 0.8 of the inner ring's colour.
    {"spark red", [](const FrameCycles& c) { return c.emitColor.r; }, 0.08, 0.8, 1.0},
    {"spark green", [](const FrameCycles& c) { return c.emitColor.g; }, 0.16, 0.8, 0.7},
    {"spark blue", [](const FrameCycles& c) { return c.emitColor.b; }, 0.24, 0.8, 0.4},
    {"inner size", [](const FrameCycles& c) { return c.innerSpriteSize; }, 0.4, 1.2, 1.2},
    {"outer size", [](const FrameCycles& c) { return c.outerSpriteSize; }, 0.4, 1.0, 0.25},
};
}  // namespace

TEST(SceneAnimation, EachCycleSwingsBetweenItsBoundsAtItsOwnRate) {
    const double pi = std::acos(-1.0);
    for (const Cycle& k : cycles) {
        const double span = k.high - k.low;
        // (phase of the sine, expected share of the span above low)
        const std::pair<double, double> points[] = {
            {0.0, 0.5}, {pi / 6, 0.75}, {pi / 2, 1.0}, {pi, 0.5}, {3 * pi / 2, 0.0}, {2 * pi + pi / 2, 1.0}};
        for (auto [phase, share] : points) {
            const double t = phase / k.w;
            EXPECT_NEAR(k.value(computeCycles(t)), k.low + share * span, 2e-6) << k.name << " at T = " << t;
        }
    }
    for (double t : {0.0, 3.0, 77.7}) {
        const FrameCycles c = computeCycles(t);
        EXPECT_EQ(std::tuple(c.innerRingColor.a, c.outerRingColor.a, c.emitColor.a), std::tuple(1.0f, 1.0f, 1.0f));
    }
}

TEST(SceneAnimation, CameraFollowsItsOrbitSwingAndPull) {
    // Elevation a = 1.4959964977 sin(0.05 T), distance 40 k with k = 1 + sin(10 s^8) / 2
    // and s = sin(pi T / 100), turned about the vertical by 0.03 T (right-handed: +z
    // goes towards +x).
    resetFrameState();
    const double pi = std::acos(-1.0);
    for (double t : {0.0, 3.0, 10.0, 31.0, 47.5, 50.0, 52.5, 62.8, 100.0, 149.0, 151.0, 250.0, 333.3}) {
        const double a = 1.4959964977 * std::sin(0.05 * t);
        const double s = std::sin(pi * t / 100.0);
        const double k = 1.0 + 0.5 * std::sin(10.0 * std::pow(s, 8));
        const double turn = 0.03 * t;
        const double r = 40.0 * k;
        updateCameraPath(t);
        EXPECT_NEAR(camera.position.x, r * std::cos(a) * std::sin(turn), 2e-4) << "T = " << t;
        EXPECT_NEAR(camera.position.y, r * std::sin(a), 2e-4) << "T = " << t;
        EXPECT_NEAR(camera.position.z, r * std::cos(a) * std::cos(turn), 2e-4) << "T = " << t;
        // Aimed at the rings' centre, wherever it stands.
        const Vec3 centre = toLocal({0.0f, 0.0f, -15.0f}, camera);
        EXPECT_NEAR(centre.x, 0.0, 1e-4) << "T = " << t;
        EXPECT_NEAR(centre.y, 0.0, 1e-4) << "T = " << t;
        EXPECT_LT(centre.z, 0.0f) << "T = " << t;
    }
}

TEST(SceneAnimation, GridsRiseFiveUnitsASecondAndWrapPastForty) {
    struct Step {
        float from, dt, to;
    };
    const Step steps[] = {
        {0.0f, 0.5f, 2.5f},     {-26.0f, 1.0f, -21.0f}, {39.0f, 0.2f, 40.0f},  // exactly 40 stays
        {39.0f, 0.4f, -39.0f},  {-40.0f, 0.2f, -39.0f}, {35.0f, 2.0f, -35.0f},
    };
    resetFrameState();
    camera.position = {0, 1000, 0};
    for (const Step& s : steps) {
        for (Placement* p : {&gridPlacement1, &gridPlacement2, &gridPlacement3}) p->position.y = s.from;
        driftGrids(s.dt);
        for (Placement* p : {&gridPlacement1, &gridPlacement2, &gridPlacement3}) {
            EXPECT_FLOAT_EQ(p->position.y, s.to) << s.from << " + 5 x " << s.dt;
        }
    }
}

TEST(SceneAnimation, GridFadeTable) {
    // A grid within 15 units of the camera's height, of +40 or of -40 takes the colour
    // (0.2, 0.1, 0.4) x f with alpha 0.5, f = max(0, d/10 - 0.5) for its distance d; the
    // checks go camera, +40, -40, and the last that applies decides. factor < 0: the
    // base colour (0.2, 0.1, 0.4, 0.5) stays.
    struct Fade {
        float cameraY, gridY;
        double factor;
    };
    const Fade fades[] = {
        {1000, 0, -1},     {1000, 25, -1},    {1000, 24.5f, -1},  // 15 and 15.5 from +40
        {1000, 26, 0.9},   {1000, 30, 0.5},   {1000, 35, 0.0},    {1000, 38, 0.0},
        {1000, -33, 0.2},  {1000, -28, 0.7},  {1000, -26, 0.9},   // below, from -40
        {10, 2, 0.3},      {10, 20, 0.5},     {-4, 5, 0.4},       // from the camera alone
        {28, 30, 0.5},                                          // camera 0, +40 0.5: +40 decides
        {-30, -38, 0.0},                                        // camera 0.3, -40 0: -40 decides
        {-20, -28, 0.7},                                        // camera 0.3, -40 0.7: -40 decides
    };
    resetFrameState();
    for (const Fade& f : fades) {
        camera.position = {0.0f, f.cameraY, 0.0f};
        gridPlacement1.position.y = f.gridY;
        gridPlacement2.position.y = f.cameraY + 500.0f;  // far from every level
        gridPlacement3.position.y = f.cameraY + 500.0f;
        driftGrids(0.0f);
        SCOPED_TRACE(testing::Message() << "camera " << f.cameraY << ", grid " << f.gridY);
        const Color4 c = gridMesh1.vertices[2].color;
        if (f.factor < 0) {
            EXPECT_EQ(c, gridBaseColor);
        } else {
            expectColor(c, 0.2 * f.factor, 0.1 * f.factor, 0.4 * f.factor);
            EXPECT_EQ(c.a, 0.5f);
        }
        for (int v = 0; v < gridMesh1.vertexCount; ++v) ASSERT_EQ(gridMesh1.vertices[v].color, c);
    }
}

TEST(SceneAnimation, MotesRiseFiveUnitsAndTurnOneRadianASecond) {
    struct Step {
        float y, angle, dt, toY, toAngle;
    };
    const Step steps[] = {
        {0.0f, 1.0f, 0.5f, 2.5f, 1.5f},
        {49.0f, 0.0f, 0.1f, 49.5f, 0.1f},
        {49.5f, 0.0f, 0.1f, 50.0f, 0.1f},  // exactly 50 stays
        {49.0f, 6.0f, 0.5f, -48.5f, float(6.5 - 6.283185)},
        {-50.0f, 6.283f, 0.002f, -49.99f, float(6.285 - 6.283185)},
        {10.0f, 6.0f, 0.2f, 11.0f, 6.2f},
    };
    resetFrameState();
    const Mote saved = motes[0];
    moteCount = 1;
    for (const Step& s : steps) {
        motes[0].basePosition.y = s.y;
        motes[0].angle = s.angle;
        animateMotes(s.dt);
        EXPECT_NEAR(motes[0].basePosition.y, s.toY, 1e-5) << s.y << " + 5 x " << s.dt;
        EXPECT_NEAR(motes[0].angle, s.toAngle, 2e-6) << s.angle << " + " << s.dt;
    }
    motes[0] = saved;
}
