// Glowing points drawn as squares facing the camera. Every point is turned into eye
// coordinates here and the corners are submitted there.
#include <GL/gl.h>

#include "gfx/render_device.h"
#include "scene/particle_pool.h"
#include "scene/sprite_set.h"

namespace {
// Sets and particles are submitted up to this far behind the camera plane, single
// sprites only up to the second limit; OpenGL clips what lies behind the near plane.
constexpr float SET_DEPTH_LIMIT = 5.0f;
constexpr float SPRITE_DEPTH_LIMIT = 1.0f;

// A square of edge `size` around eye point e. Texture row t = 0 (the bottom of the image)
// goes to the upper corners.
void drawSquare(Vec3 e, float size) {
    const float h = size * 0.5f;
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(e.x - h, e.y + h, e.z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(e.x + h, e.y + h, e.z);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(e.x + h, e.y - h, e.z);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(e.x - h, e.y - h, e.z);
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

    for (int i = 0; i < set.count; ++i) {
        const Vec3 world = placement.toWorld(set.points[i]);
        set.worldPoints[i] = world;
        const Vec3 eye = toLocal(world, camera);
        if (eye.z > SET_DEPTH_LIMIT) {
            continue;
        }
        glBegin(GL_POLYGON);
        glColor4f(set.color.r, set.color.g, set.color.b, set.color.a);
        drawSquare(eye, set.size);
        glEnd();
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

    for (int i = 0; i < pool.count; ++i) {
        const Particle& particle = pool.entries[i];
        const Vec3 eye = toLocal(placement.toWorld(particle.position), camera);
        if (eye.z > SET_DEPTH_LIMIT) {
            continue;
        }
        // Full colour when new, fading linearly to black at the end of its life.
        const float f = 1.0f - particle.age / particle.lifetime;
        glBegin(GL_POLYGON);
        glColor4f(f * particle.color.r, f * particle.color.g, f * particle.color.b, 1.0f);
        drawSquare(eye, particle.size);
        glEnd();
    }

    // Depth testing stays off; the next draw that needs it turns it on.
    glEnable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glEnable(GL_FOG);
    glDepthMask(GL_TRUE);
    return true;
}

bool RenderDevice::drawSprite(Vec3 position, float size, Placement camera, Color4 color) {
    const Vec3 eye = toLocal(position, camera);
    if (eye.z > SPRITE_DEPTH_LIMIT) {
        return true;
    }
    glBegin(GL_POLYGON);
    glColor3f(color.r, color.g, color.b);
    drawSquare(eye, size);
    glEnd();
    return true;
}
