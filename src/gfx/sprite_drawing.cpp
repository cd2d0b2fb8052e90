// Glowing points drawn as squares facing the camera. Every point is turned into eye
// coordinates here and the corners are submitted there.
//
// Each operation works in two passes over its points: the first does all the arithmetic
// into a scratch list of squares, the second only submits them. No float can stay in a
// register across an OpenGL call, so keeping the calls out of the arithmetic lets it run
// in registers; the values and the order of the calls are the same as point by point.
#include <GL/gl.h>

#include <algorithm>

#include "gfx/frame_views.h"
#include "gfx/render_device.h"
#include "scene/particle_pool.h"
#include "scene/sprite_set.h"

namespace {
// Sets and particles are submitted up to this far behind the camera plane, single
// sprites only up to the second limit; OpenGL clips what lies behind the near plane.
constexpr float SET_DEPTH_LIMIT = 5.0f;
constexpr float SPRITE_DEPTH_LIMIT = 1.0f;

// One square ready for submission: its edges and depth in eye coordinates and the red,
// green and blue of its colour.
struct Square {
    float left, right, bottom, top, depth;
    float red, green, blue;
};

// Scratch for the first pass: a longer run of points is done in slices of this many, so
// the squares stay in the first-level cache between the passes.
constexpr int SCRATCH_SQUARES = 256;
Square scratch[SCRATCH_SQUARES];

// A placement's axis widened to double once, for the many points mapped with it.
struct WideAxis {
    double x, y, z;
    explicit WideAxis(Vec3 v) : x(v.x), y(v.y), z(v.z) {}
};

// toLocal for many points and one camera, with the camera's axes widened once instead of
// once a point. The operations are toLocal's, in its order, so every eye coordinate is
// the same float.
class EyeMapping {
public:
    explicit EyeMapping(const Placement& camera)
        : origin(camera.position), x(camera.axisX), y(camera.axisY), z(camera.axisZ) {}

    Vec3 operator()(Vec3 world) const {
        const Vec3 d = world - origin;
        return {along(d, x), along(d, y), along(d, z)};
    }

private:
    // dot() in double, summed z, y, x, then rounded to float.
    static float along(Vec3 d, const WideAxis& a) {
        return float(double(d.z) * a.z + double(d.y) * a.y + double(d.x) * a.x);
    }

    Vec3 origin;
    WideAxis x, y, z;
};

// Placement::toWorld for many points of one placement, widened once in the same way.
class WorldMapping {
public:
    explicit WorldMapping(const Placement& placement)
        : origin(placement.position), ax(placement.axisX), ay(placement.axisY), az(placement.axisZ) {}

    Vec3 operator()(Vec3 q) const {
        return {float(origin.x + double(q.x) * ax.x + double(q.y) * ay.x + double(q.z) * az.x),
                float(origin.y + double(q.x) * ax.y + double(q.y) * ay.y + double(q.z) * az.y),
                float(origin.z + double(q.x) * ax.z + double(q.y) * ay.z + double(q.z) * az.z)};
    }

private:
    WideAxis origin, ax, ay, az;
};

// The square of edge `size` around eye point e, coloured (r, g, b).
Square squareAround(Vec3 e, float size, float r, float g, float b) {
    const float h = size * 0.5f;
    return {e.x - h, e.x + h, e.y - h, e.y + h, e.z, r, g, b};
}

// The four corners of a square. Texture row t = 0 (the bottom of the image) goes to the
// upper corners.
void submitCorners(const Square& s) {
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(s.left, s.top, s.depth);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(s.right, s.top, s.depth);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(s.right, s.bottom, s.depth);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(s.left, s.bottom, s.depth);
}

// Each square as one polygon in its own colour with the given alpha.
void submitSquares(const Square* squares, int count, float alpha) {
    for (const Square* s = squares; s != squares + count; ++s) {
        glBegin(GL_POLYGON);
        glColor4f(s->red, s->green, s->blue, alpha);
        submitCorners(*s);
        glEnd();
    }
}

// Each square as one polygon in its own colour, alpha left as it is.
void submitOpaqueColourSquares(const Square* squares, int count) {
    for (const Square* s = squares; s != squares + count; ++s) {
        glBegin(GL_POLYGON);
        glColor3f(s->red, s->green, s->blue);
        submitCorners(*s);
        glEnd();
    }
}

// Additive, depth-ignoring, unlit and fogless; the texture only when textures are on.
void enterSpriteState(RenderDevice& device, bool textured, Texture* texture) {
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glBlendFunc(GL_ONE, GL_ONE);
    if (device.texturesEnabled) {
        device.context.bindTexture(textured, texture, device.smoothTextures);
    }
    glDisable(GL_FOG);
}
}  // namespace

bool RenderDevice::drawSpriteSet(Placement placement, Placement camera, SpriteSet& set) {
    enterSpriteState(*this, set.hasTexture, set.texture);

    const WorldMapping toWorld(placement);
    const EyeMapping toEye(camera);
    const Color4 colour = set.color;
    for (int first = 0; first < set.count; first += SCRATCH_SQUARES) {
        const int end = std::min(set.count, first + SCRATCH_SQUARES);
        int count = 0;
        for (int i = first; i < end; ++i) {
            const Vec3 world = toWorld(set.points[i]);
            set.worldPoints[i] = world;
            const Vec3 eye = toEye(world);
            if (eye.z > SET_DEPTH_LIMIT) {
                continue;
            }
            scratch[count++] = squareAround(eye, set.size, colour.r, colour.g, colour.b);
        }
        drawOnEveryView(context.deviceContext, [&] { submitSquares(scratch, count, colour.a); });
    }

    glEnable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glEnable(GL_FOG);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    return true;
}

bool RenderDevice::drawParticles(Placement placement, Placement camera, const ParticlePool& pool) {
    enterSpriteState(*this, true, pool.texture);

    const WorldMapping toWorld(placement);
    const EyeMapping toEye(camera);
    for (int first = 0; first < pool.count; first += SCRATCH_SQUARES) {
        const int end = std::min(pool.count, first + SCRATCH_SQUARES);
        int count = 0;
        for (int i = first; i < end; ++i) {
            const Particle& particle = pool.entries[i];
            const Vec3 eye = toEye(toWorld(particle.position));
            if (eye.z > SET_DEPTH_LIMIT) {
                continue;
            }
            // Full colour when new, fading linearly to black at the end of its life.
            const float f = 1.0f - particle.age / particle.lifetime;
            scratch[count++] = squareAround(eye, particle.size, f * particle.color.r, f * particle.color.g,
                                            f * particle.color.b);
        }
        drawOnEveryView(context.deviceContext, [&] { submitSquares(scratch, count, 1.0f); });
    }

    // Depth testing stays off; the next draw that needs it turns it on.
    glEnable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glEnable(GL_FOG);
    glDepthMask(GL_TRUE);
    return true;
}

bool RenderDevice::drawSprites(const SpriteInstance* sprites, int count, float size, const Placement& camera) {
    const EyeMapping toEye(camera);
    for (int first = 0; first < count; first += SCRATCH_SQUARES) {
        const int end = std::min(count, first + SCRATCH_SQUARES);
        int squares = 0;
        for (int i = first; i < end; ++i) {
            const SpriteInstance& sprite = sprites[i];
            const Vec3 eye = toEye(sprite.position);
            if (eye.z > SPRITE_DEPTH_LIMIT) {
                continue;
            }
            scratch[squares++] = squareAround(eye, size, sprite.color.r, sprite.color.g, sprite.color.b);
        }
        drawOnEveryView(context.deviceContext, [&] { submitOpaqueColourSquares(scratch, squares); });
    }
    return true;
}

bool RenderDevice::drawSprite(Vec3 position, float size, Placement camera, Color4 color) {
    const SpriteInstance sprite = {position, color};
    return drawSprites(&sprite, 1, size, camera);
}
