#include "frame/overlays.h"

#include <GL/gl.h>

#include "frame/scene_globals.h"
#include "gfx/frame_views.h"

namespace {
struct Corner {
    float s, t;
    float x, y, z;
};

// Lower right of the view, 0.4 x 0.2 at depth 1.5: the banner's 2:1 shape.
constexpr Corner titleCorners[4] = {
    {0.0f, 1.0f, 0.15f, -0.21f, -1.5f},
    {1.0f, 1.0f, 0.55f, -0.21f, -1.5f},
    {1.0f, 0.0f, 0.55f, -0.41f, -1.5f},
    {0.0f, 0.0f, 0.15f, -0.41f, -1.5f},
};

// Exactly the near plane of the projection: the whole view.
constexpr Corner veilCorners[4] = {
    {0.0f, 1.0f, -0.4f, 0.3f, -1.0f},
    {1.0f, 1.0f, 0.4f, 0.3f, -1.0f},
    {1.0f, 0.0f, 0.4f, -0.3f, -1.0f},
    {0.0f, 0.0f, -0.4f, -0.3f, -1.0f},
};

void enterOverlayState(GLenum source, GLenum destination) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(source, destination);
}
}  // namespace

void drawTitleOverlay(double sceneTime) {
    // Above 1 the colour pipeline clamps it: full brightness for the first 4 seconds.
    const float c = float((8.0 - sceneTime) * 0.25);
    renderDevice.context.bindTexture(true, &bannerTexture, renderDevice.smoothTextures);
    glLoadIdentity();
    if (bannerTexture.loaded) {
        glEnable(GL_TEXTURE_2D);
    }
    enterOverlayState(GL_ONE, GL_ONE);
    drawOnEveryView(renderDevice.context.deviceContext, [c] {
        glBegin(GL_POLYGON);
        glColor3f(c, c, c);
        for (const Corner& k : titleCorners) {
            glTexCoord2f(k.s, k.t);
            glVertex3f(k.x, k.y, k.z);
        }
        glEnd();
    });
}

void drawFadeInOverlay(double sceneTime) {
    const float alpha = float((2.0 - sceneTime) * 0.5);
    glDisable(GL_TEXTURE_2D);
    enterOverlayState(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawOnEveryView(renderDevice.context.deviceContext, [alpha] {
        glBegin(GL_POLYGON);
        for (const Corner& k : veilCorners) {
            glColor4f(0.0f, 0.0f, 0.0f, alpha);
            glTexCoord2f(k.s, k.t);
            glVertex3f(k.x, k.y, k.z);
        }
        glEnd();
    });
}
