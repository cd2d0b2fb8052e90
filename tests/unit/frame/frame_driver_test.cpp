#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "frame/frame_driver.h"
#include "frame/particle_emission.h"
#include "frame_test_support.h"
#include "saver/frame_timer.h"
#include "saver/saver_state.h"
#include "frame/scene_globals.h"
#include "platform/headless/headless.h"

TEST(FrameDriver, RateTextSwitchesOffOnlyAfterFortySecondsAndTheRateIsTakenEachSecond) {
    WindowHandle window = resetFrameState();
    frameTimer.configure(1, 250);
    sceneTime = 40.0;
    runFrame(window);
    EXPECT_EQ(std::pair(int(frameTimer.showText), frameTimer.updateIntervalMs), std::pair(1, 250));
    sceneTime = 40.001;
    runFrame(window);
    EXPECT_EQ(std::pair(int(frameTimer.showText), frameTimer.updateIntervalMs), std::pair(0, 1000));
}

// A frame that took less than 10 ms sleeps out the rest, across the tick count's wrap.
TEST(FrameDriver, PacingSleepsOutTenMillisecondsAcrossTheWrap) {
    resetFrameState();
    const std::uint32_t cases[][3] = {{100, 109, 1}, {100, 110, 0}, {100, 500, 0}, {0xFFFFFFFEu, 5, 3}};
    for (const auto& [start, now, sleep] : cases) {
        const std::uint64_t sleeps = headlessSleepCount();
        headlessSetTickCount(now);
        paceFrame(start);
        EXPECT_EQ(headlessSleepCount() - sleeps, sleep != 0 ? 1u : 0u) << now - start << " ms of work";
        EXPECT_EQ(sleep != 0 ? headlessLastSleepMs() : 0u, sleep);
    }
}

TEST(FrameDriver, FrameAfterAHugeStallEnds) {
    WindowHandle window = resetFrameState();
    frameSeconds = 100000.0f;
    runFrame(window);
    EXPECT_EQ(particles.count, 0);  // all dropped again by the same frame's update
    EXPECT_LE(emitBudget, 0.0f);
}

// After a week the scene time still steps by the frame's length, and the camera still
// moves on each frame, at about 1.2 units/s along its orbit there.
TEST(FrameDriver, AWeekOfSceneTimeStillMovesAtTheRightSpeed) {
    WindowHandle window = resetFrameState();
    const double week = 7 * 24 * 3600.0;
    sceneTime = week;
    runFrame(window);  // the first frame, by the start value
    const Vec3 previous = camera.position;
    headlessAdvanceTickCount(10);
    runFrame(window);
    EXPECT_NEAR(sceneTime, week + 0.033 + 0.01, 1e-9);
    const double moved = length(camera.position - previous);
    EXPECT_GT(moved, 0.001);
    EXPECT_LT(moved, 0.1);
}

TEST(FrameDriver, RingsSpinAndSparksRiseAtTheirRates) {
    // In half a second the inner ring turns 0.16 pi and the outer 0.05 pi about the
    // vertical, right-handed: their x axes go from +x towards -z.
    WindowHandle window = resetFrameState();
    frameSeconds = 0.5f;
    runFrame(window);
    const double pi = std::acos(-1.0);
    const std::pair<const Placement*, double> rings[] = {{&innerRingPlacement, 0.16 * pi},
                                                         {&outerRingPlacement, 0.05 * pi}};
    for (auto [ring, angle] : rings) {
        const Vec3 axisX = {float(std::cos(angle)), 0.0f, float(-std::sin(angle))};
        EXPECT_TRUE(length(ring->axisX - axisX) < 3e-6 && std::abs(ring->axisY.y - 1.0) < 2e-6) << angle;
    }
    EXPECT_EQ(particles.acceleration, (Vec3{0.0f, 6.0f, 0.0f}));
}

TEST(FrameDriver, GridTexturesSlideDiagonallyEachItsOwnWay) {
    // 0.05 repeats a second: +u +v, -u +v and +u -v for the three grids.
    WindowHandle window = resetFrameState();
    Mesh* meshes[3] = {&gridMesh1, &gridMesh2, &gridMesh3};
    const std::pair<double, double> directions[3] = {{1, 1}, {-1, 1}, {1, -1}};
    float u[3], v[3];
    for (int n = 0; n < 3; ++n) {
        u[n] = meshes[n]->vertices[3].u;
        v[n] = meshes[n]->vertices[3].v;
    }
    frameSeconds = 2.0f;
    runFrame(window);
    for (int n = 0; n < 3; ++n) {
        EXPECT_NEAR(meshes[n]->vertices[3].u - u[n], 0.1 * directions[n].first, 1e-6) << "grid " << n + 1;
        EXPECT_NEAR(meshes[n]->vertices[3].v - v[n], 0.1 * directions[n].second, 1e-6) << "grid " << n + 1;
    }
}
