#pragma once
// The slow diagonal slide of the grid textures.
#include "scene/mesh.h"

// Slides the mesh's texture coordinates by (du, dv). The texture repeats, so whole
// repeats are taken off again once the coordinates grow large; that changes nothing on
// screen but keeps float precision from stalling the slide after days.
void driftTexture(Mesh& mesh, float du, float dv);
