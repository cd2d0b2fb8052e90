#include "frame/scene_setup.h"

#include "saver/saver_state.h"
#include "scene/math.h"
#include "scene/random.h"
#include "frame/scene_globals.h"
#include "platform/instance.h"
#include "platform/platform.h"
#include "platform/resource_ids.h"

namespace {
// The tilt of both rings: the float one step below the float nearest to 15 degrees.
constexpr float RING_TILT = 0.26179937f;
constexpr Vec3 X_AXIS = {1.0f, 0.0f, 0.0f};
constexpr Color4 RING_COLOR = {0.6f, 0.3f, 1.0f, 1.0f};
constexpr Color4 GRID_COLOR = {0.2f, 0.1f, 0.4f, 0.5f};

void place(Placement& placement, Vec3 position) {
    placement.resetAxes();
    placement.position = position;
}

void placeTilted(Placement& placement, Vec3 position) {
    placement.resetAxes();
    placement.rotateAbout(X_AXIS, RING_TILT);
    placement.position = position;
}

void scatterRing(SpriteSet& ring, float radius) {
    for (int i = 0; i < ringPointCount; ++i) {
        ring.addPoint(randomPointOnRing(UP, radius, radius, HALF_PI_F, HALF_PI_F));
    }
}
}  // namespace

void setupScene(WindowHandle window) {
    DeviceContext dc = platformGetDC(window);
    const ClientSize size = platformClientSize(window);
    renderDevice.setupDevice(dc, size.width, size.height, colorBits);
    renderDevice.setBackground(0.0f, 0.0f, 0.0f, 0.0f);
    renderDevice.texturesEnabled = true;
    if (lowDetail) {
        moteCount = 400;
        renderDevice.smoothTextures = false;
    }

    place(camera, {0.0f, 0.0f, 0.0f});
    placeTilted(innerRingPlacement, {0.0f, 0.0f, -15.0f});
    place(particlePlacement, {0.0f, 0.0f, 0.0f});
    placeTilted(outerRingPlacement, {0.0f, 0.0f, -15.0f});

    glowTexture.loadFromBitmap(instanceHandle, IDB_GLOW);
    bannerTexture.loadFromBitmap(instanceHandle, IDB_BANNER);

    innerRing.setTexture(&glowTexture);
    innerRing.setColor(RING_COLOR);
    innerRing.setSize(0.7f);
    particles.setTexture(&glowTexture);
    scatterRing(innerRing, 5.0f);
    scatterRing(outerRing, 10.0f);
    outerRing.setTexture(&glowTexture);
    outerRing.setColor(RING_COLOR);
    outerRing.setSize(0.7f);
    platformReleaseDC(window, dc);

    Material material;
    material.diffuse = {1.0f, 0.0f, 0.0f, 0.3f};
    material.specular = {0.0f, 0.0f, 0.0f, 0.0f};
    material.shininess = 5.0f;
    gridTexture.loadFromBitmap(instanceHandle, IDB_GRID);
    gridMesh1.buildGrid(10, 200.0f, GRID_COLOR);
    gridMesh1.scaleTexCoords(10.0f, 10.0f);
    gridMesh1.setTexture(&gridTexture);
    gridMesh1.setMaterial(material);
    gridMesh1.setGroupFlags(false, true, true);
    gridMesh1.setBlendMode(1);
    gridMesh1.copyTo(gridMesh2);
    gridMesh1.copyTo(gridMesh3);
    place(gridPlacement1, {0.0f, -26.0f, 0.0f});
    place(gridPlacement2, {0.0f, 0.0f, 0.0f});
    place(gridPlacement3, {0.0f, 26.0f, 0.0f});
}
