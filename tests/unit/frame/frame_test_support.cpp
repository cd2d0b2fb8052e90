#include "frame_test_support.h"

#include "frame/frame_driver.h"
#include "frame/particle_emission.h"
#include "frame/scene_animation.h"
#include "saver/frame_timer.h"
#include "saver/saver_state.h"
#include "frame/scene_globals.h"
#include "platform/headless/headless.h"

WindowHandle resetFrameState() {
    sceneTime = 0.0;
    frameSeconds = 0.033f;
    emitBudget = 0.0f;
    particles.count = 0;
    lowDetail = 0;
    moteCount = 1000;
    frameTimer = FrameTimer{};
    headlessReset();
    const float heights[3] = {-26.0f, 0.0f, 26.0f};
    Placement* placements[3] = {&gridPlacement1, &gridPlacement2, &gridPlacement3};
    Mesh* meshes[3] = {&gridMesh1, &gridMesh2, &gridMesh3};
    for (int n = 0; n < 3; ++n) {
        placements[n]->resetAxes();
        placements[n]->position = {0.0f, heights[n], 0.0f};
        meshes[n]->vertexCount = 0;
        meshes[n]->triangleCount = 0;
        meshes[n]->buildGrid(2, 200.0f, gridBaseColor);
    }
    innerRingPlacement.resetAxes();
    innerRingPlacement.position = {0.0f, 0.0f, -15.0f};
    outerRingPlacement = innerRingPlacement;
    particlePlacement.resetAxes();
    camera.resetAxes();
    return headlessCreateWindow(64, 48);
}
