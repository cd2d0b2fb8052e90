#include "frame/frame_driver.h"

#include <GL/gl.h>

#include <cstdint>

#include "frame/overlays.h"
#include "frame/particle_emission.h"
#include "frame/scene_animation.h"
#include "frame/texture_drift.h"
#include "saver/frame_timer.h"
#include "saver/saver_state.h"
#include "scene/math.h"
#include "frame/scene_globals.h"
#include "platform/platform.h"

double sceneTime = 0.0;

namespace {
constexpr float INNER_SPIN = 1.0053096f;   // 0.32 pi rad/s
constexpr float OUTER_SPIN = 0.31415924f;  // 0.1 pi rad/s
constexpr std::int32_t MIN_FRAME_MS = 10;

void driftAndDrawGrids(float dt) {
    const float step = float(0.05 * dt);
    driftTexture(gridMesh1, step, step);
    driftTexture(gridMesh2, -step, step);
    driftTexture(gridMesh3, step, -step);
    renderDevice.drawMesh(gridPlacement1, camera, gridMesh1);
    renderDevice.drawMesh(gridPlacement2, camera, gridMesh2);
    renderDevice.drawMesh(gridPlacement3, camera, gridMesh3);
}

// Additive, unlit, fogless glow squares without depth test. Left in force afterwards.
void enterMoteState() {
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glBlendFunc(GL_ONE, GL_ONE);
    renderDevice.context.bindTexture(true, &glowTexture, renderDevice.smoothTextures);
    glDisable(GL_FOG);
}

}  // namespace

void paceFrame(std::uint32_t startTick) {
    // Unsigned difference, then signed: right across the tick count's wrap.
    const std::int32_t work = std::int32_t(platformTickCount() - startTick);
    const std::int32_t rest = MIN_FRAME_MS - work;
    if (rest > 0) {
        platformSleep(std::uint32_t(rest));
    }
}

int runFrame(WindowHandle window) {
    const std::uint32_t startTick = platformTickCount();
    DeviceContext dc = platformGetDC(window);
    const float dt = frameSeconds;
    const double t = sceneTime;

    const FrameCycles cycles = computeCycles(t);
    particles.setAcceleration({0.0f, 6.0f, 0.0f});
    renderDevice.beginFrame();
    innerRingPlacement.rotateAbout(UP, float(double(dt) * INNER_SPIN));
    outerRingPlacement.rotateAbout(UP, float(double(dt) * OUTER_SPIN));
    updateCameraPath(t);
    driftGrids(dt);
    if (!lowDetail) {
        driftAndDrawGrids(dt);
    }
    emitParticles(dt, cycles);

    innerRing.setSize(cycles.innerSpriteSize);
    innerRing.setColor(cycles.innerRingColor);
    renderDevice.drawSpriteSet(innerRingPlacement, camera, innerRing);
    renderDevice.drawParticles(particlePlacement, camera, particles);
    outerRing.setSize(cycles.outerSpriteSize);
    outerRing.setColor(cycles.outerRingColor);
    renderDevice.drawSpriteSet(outerRingPlacement, camera, outerRing);
    particles.update(dt);

    enterMoteState();
    animateMotes(dt);
    if (t < 8.0) {
        drawTitleOverlay(t);
    }
    if (t < 2.0) {
        drawFadeInOverlay(t);
    }
    renderDevice.endFrame();

    if (t > 40.0) {
        frameTimer.configure(0, 1000);
    }
    frameSeconds = frameTimer.tick(dc);
    sceneTime += frameSeconds;
    platformReleaseDC(window, dc);
    paceFrame(startTick);
    return 1;
}
