#include "frame/scene_globals.h"

// Defined in this order so that they are constructed in it. None of these draws from the
// random generator; the motes (scene/motes.cpp) are its first user.
RenderDevice renderDevice;
Texture glowTexture;
Texture bannerTexture;
SpriteSet innerRing;
ParticlePool particles;
SpriteSet outerRing;
Texture gridTexture;
Mesh gridMesh1;
Mesh gridMesh2;
Mesh gridMesh3;

Placement camera;
Placement innerRingPlacement;
Placement outerRingPlacement;
Placement particlePlacement;
Placement gridPlacement1;
Placement gridPlacement2;
Placement gridPlacement3;

std::int32_t ringPointCount = 100;
std::int32_t moteCount = 1000;
float frameSeconds = 0.033f;
