#pragma once
// The motions and colour cycles of the scene: closed formulas of the scene time T, or
// steps by the frame time. Only animateMotes draws.
#include "scene/math.h"

struct FrameCycles {
    Color4 innerRingColor;
    Color4 outerRingColor;
    Color4 emitColor;        // 0.8 x innerRingColor, for new sparks
    float innerSpriteSize;   // 0.4..1.2; also scales new sparks
    float outerSpriteSize;   // 0.4..1.0
};

// Ring colours and sprite sizes at scene time T.
FrameCycles computeCycles(double sceneTime);

// Puts the camera on its orbit for scene time T and aims it at the rings' centre.
void updateCameraPath(double sceneTime);

// Raises the three grids, wraps them from +40 to -40, and fades those near the camera's
// height or a wrap height to black.
void driftGrids(float dt);

// Moves the first moteCount motes and draws each as one camera-facing square. The
// render state for them is set by the caller.
void animateMotes(float dt);

// Colour of every grid vertex before fading.
inline constexpr Color4 gridBaseColor = {0.2f, 0.1f, 0.4f, 0.5f};
