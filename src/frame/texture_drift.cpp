#include "frame/texture_drift.h"

#include <cmath>

namespace {
// Coordinates start within 0..9; past this many repeats they are brought back.
constexpr float WRAP_LIMIT = 16.0f;
}  // namespace

void driftTexture(Mesh& mesh, float du, float dv) {
    mesh.shiftTexCoords(du, dv);
    if (mesh.vertexCount == 0) {
        return;
    }
    // Every vertex moves alike, so the first one tells how far they have all gone.
    const MeshVertex& first = mesh.vertices[0];
    const float backU = std::fabs(first.u) >= WRAP_LIMIT ? std::trunc(first.u) : 0.0f;
    const float backV = std::fabs(first.v) >= WRAP_LIMIT ? std::trunc(first.v) : 0.0f;
    if (backU != 0.0f || backV != 0.0f) {
        mesh.shiftTexCoords(-backU, -backV);
    }
}
