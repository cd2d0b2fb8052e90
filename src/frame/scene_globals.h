#pragma once
// The scene's global objects. They are built at program start, filled once by
// setupScene when the saver window is created, and only animated and drawn afterwards.
#include <cstdint>

#include "gfx/render_device.h"
#include "gfx/texture.h"
#include "scene/mesh.h"
#include "scene/particle_pool.h"
#include "scene/placement.h"
#include "scene/sprite_set.h"

extern RenderDevice renderDevice;
extern Texture glowTexture;
extern Texture bannerTexture;
extern SpriteSet innerRing;
extern ParticlePool particles;
extern SpriteSet outerRing;
extern Texture gridTexture;
extern Mesh gridMesh1;
extern Mesh gridMesh2;
extern Mesh gridMesh3;

extern Placement camera;
extern Placement innerRingPlacement;
extern Placement outerRingPlacement;
extern Placement particlePlacement;
extern Placement gridPlacement1;
extern Placement gridPlacement2;
extern Placement gridPlacement3;

// Points per sprite ring, and the range of ring points that sparks are emitted from.
extern std::int32_t ringPointCount;
// Motes moved and drawn: 1000, or 400 in low detail.
extern std::int32_t moteCount;
// Duration of the last frame in seconds: the time step of every motion.
extern float frameSeconds;
