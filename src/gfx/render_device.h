#pragma once
// The program's drawing back end: the rendering context with its background colour and
// texture switches, the frame bracket, and the sprite and mesh drawing operations.
// Sprites are placed in eye coordinates computed here, so the modelview matrix is the
// identity outside drawMesh.
#include "gfx/render_context.h"
#include "scene/math.h"
#include "scene/placement.h"
#include "platform/handles.h"

struct SpriteSet;
struct ParticlePool;
struct Mesh;

// One square of a batch of single sprites: its centre in world coordinates and its colour.
struct SpriteInstance {
    Vec3 position;
    Color4 color;
};

struct RenderDevice {
    Color4 background = {0.0f, 0.0f, 0.2f, 1.0f};  // clear and fog colour of every frame
    RenderContext context;
    bool texturesEnabled = true;  // false: draw without binding textures
    bool smoothTextures = true;   // linear rather than nearest filtering

    // Creates the rendering context on the device context. Returns true.
    bool setupDevice(DeviceContext dc, int width, int height, int colorDepth);
    // Takes effect at the next beginFrame.
    bool setBackground(float r, float g, float b, float a);

    // Clear colour and fog colour from background, buffers cleared, colour white.
    bool beginFrame();
    // Flush and show the back buffer.
    bool endFrame();

    // Camera-facing squares, additively blended without depth test. drawSpriteSet
    // records every point's world position in the set.
    bool drawSpriteSet(Placement placement, Placement camera, SpriteSet& set);
    bool drawParticles(Placement placement, Placement camera, const ParticlePool& pool);
    // One square in the caller's render state; only red, green and blue of color count.
    bool drawSprite(Vec3 position, float size, Placement camera, Color4 color);
    // drawSprite for each of count sprites in turn, all of one size.
    bool drawSprites(const SpriteInstance* sprites, int count, float size, const Placement& camera);

    // Draws the mesh unless it is out of the view cone and farther than its radius;
    // the modelview matrix is the identity again afterwards.
    bool drawMesh(Placement placement, Placement camera, const Mesh& mesh);
};
