#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "frame/scene_animation.h"
#include "frame_test_support.h"
#include "scene/motes.h"
#include "frame/scene_globals.h"

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
        EXPECT_TRUE(std::hypot(centre.x, centre.y) < 1e-4 && centre.z < 0.0f) << "T = " << t;
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
        {3, 0, 0.0},       {3, -20, -1},                        // faded, then back to the base colour
    };
    resetFrameState();
    for (const Fade& f : fades) {
        camera.position = {0.0f, f.cameraY, 0.0f};
        for (Placement* p : {&gridPlacement1, &gridPlacement2, &gridPlacement3}) p->position.y = f.gridY;
        driftGrids(0.0f);
        SCOPED_TRACE(testing::Message() << "camera " << f.cameraY << ", grid " << f.gridY);
        for (const Mesh* mesh : {&gridMesh1, &gridMesh2, &gridMesh3}) {
            const Color4 c = mesh->vertices[2].color;
            const double k = f.factor < 0 ? 1.0 : f.factor;
            const Color4 want = f.factor < 0 ? gridBaseColor : Color4{float(0.2 * k), float(0.1 * k), float(0.4 * k), 0.5f};
            EXPECT_LE(std::max({std::abs(c.r - want.r), std::abs(c.g - want.g), std::abs(c.b - want.b)}), 1e-6f);
            EXPECT_EQ(c.a, 0.5f);
            for (int v = 0; v < mesh->vertexCount; ++v) ASSERT_EQ(mesh->vertices[v].color, c);
        }
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
    };
    resetFrameState();
    const Mote saved[2] = {motes[0], motes[1]};
    moteCount = 1;  // only the counted motes move
    for (const Step& s : steps) {
        motes[0].basePosition.y = s.y;
        motes[0].angle = s.angle;
        animateMotes(s.dt);
        EXPECT_NEAR(motes[0].basePosition.y, s.toY, 1e-5) << s.y << " + 5 x " << s.dt;
        EXPECT_NEAR(motes[0].angle, s.toAngle, 2e-6) << s.angle << " + " << s.dt;
        EXPECT_EQ(std::tuple(motes[0].basePosition.x, motes[0].basePosition.z, motes[0].color),
                  std::tuple(saved[0].basePosition.x, saved[0].basePosition.z, saved[0].color));
        EXPECT_EQ(std::tuple(motes[1].basePosition, motes[1].angle), std::tuple(saved[1].basePosition, saved[1].angle));
    }
    std::copy(saved, saved + 2, motes);
}
