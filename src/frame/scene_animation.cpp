#include "frame/scene_animation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "scene/motes.h"
#include "frame/scene_globals.h"

namespace {
// 0.1 + 0.45 (1 + sin x) and the like: a channel pulsing between base and base + 2 swing.
float pulse(double base, double swing, double x) { return float(base + swing * (1.0 + std::sin(x))); }

Placement* const gridPlacements[3] = {&gridPlacement1, &gridPlacement2, &gridPlacement3};
Mesh* const gridMeshes[3] = {&gridMesh1, &gridMesh2, &gridMesh3};

// Motes are moved and handed to the renderer this many at a time.
constexpr int MOTE_BATCH = 256;
SpriteInstance moteSprites[MOTE_BATCH];
}  // namespace

FrameCycles computeCycles(double t) {
    FrameCycles c;
    c.innerRingColor = {pulse(0.1, 0.45, t), pulse(0.2, 0.4, 0.7 * t), pulse(0.3, 0.35, 0.4 * t), 1.0f};
    c.outerRingColor = {pulse(0.1, 0.45, 0.2 * t), pulse(0.2, 0.4, 0.14 * t),
                        pulse(0.3, 0.35, 0.12 * t), 1.0f};
    c.emitColor = {float(0.8 * c.innerRingColor.r), float(0.8 * c.innerRingColor.g),
                   float(0.8 * c.innerRingColor.b), 1.0f};
    c.innerSpriteSize = pulse(0.4, 0.4, 1.2 * t);
    c.outerSpriteSize = pulse(0.4, 0.3, 0.25 * t);
    return c;
}

void updateCameraPath(double t) {
    // Swing up and down between about +-85.7 degrees of elevation.
    const double elevation = 1.4959964977 * std::sin(0.05 * t);
    const Vec3 base = {0.0f, float(40.0 * std::sin(elevation)), float(40.0 * std::cos(elevation))};
    // Pull in and out: s^8 stays near 0 except around T = 50, 150, 250 ...
    const double s = std::sin(0.031415925 * t);
    const double s2 = s * s, s4 = s2 * s2, s8 = s4 * s4;
    const float k = float(0.5 * (1.0 + std::sin(10.0 * s8)) + 0.5);
    // Circle the vertical axis. The angle is reduced to one turn in double first, so a
    // float still resolves it after days of scene time.
    const double turn = std::fmod(0.03 * t, 2.0 * std::numbers::pi);
    camera.position = rotateAboutAxis(base * k, UP, float(turn));
    camera.lookAt(innerRingPlacement);
}

void driftGrids(float dt) {
    for (Placement* p : gridPlacements) {
        p->position.y = float(p->position.y + 5.0 * dt);
    }
    for (Placement* p : gridPlacements) {
        if (p->position.y > 40.0f) {
            p->position.y -= 80.0f;
        }
    }
    for (Mesh* m : gridMeshes) {
        m->setVertexColors(gridBaseColor);
    }
    // Fade near the camera's height and near both wrap heights. Each check colours from
    // the base colour, so when several apply the last one decides.
    const float levels[3] = {camera.position.y, 40.0f, -40.0f};
    for (float level : levels) {
        for (int n = 0; n < 3; ++n) {
            const double d = std::fabs(double(level) - gridPlacements[n]->position.y) * 0.1;
            if (d < 1.5) {
                const double f = clampToZero(float(d - 0.5));
                gridMeshes[n]->setVertexColors({float(0.2 * f), float(0.1 * f), float(0.4 * f), 0.5f});
            }
        }
    }
}

void animateMotes(float dt) {
    // Moved a batch at a time, then drawn together: the squares and their order are those
    // of drawing each mote as it moves.
    const int count = std::min<int>(moteCount, MOTE_CAPACITY);
    for (int first = 0; first < count; first += MOTE_BATCH) {
        const int batch = std::min(count - first, MOTE_BATCH);
        for (int j = 0; j < batch; ++j) {
            Mote& mote = motes[first + j];
            mote.basePosition.y = float(mote.basePosition.y + 5.0 * dt);
            if (mote.basePosition.y > 50.0f) {
                mote.basePosition.y -= 100.0f;
            }
            mote.angle += dt;
            if (mote.angle > 6.283185f) {
                mote.angle -= 6.283185f;
            }
            const Vec3 q = {float(mote.basePosition.x + std::cos(double(mote.angle))), mote.basePosition.y,
                            float(mote.basePosition.z + std::sin(double(mote.angle)))};
            moteSprites[j] = {q, mote.color};
        }
        renderDevice.drawSprites(moteSprites, batch, 0.5f, camera);
    }
}
