// Blend modes and materials of mesh groups turned into OpenGL state.
#include <GL/gl.h>

#include "gfx/render_context.h"
#include "scene/mesh.h"

bool RenderContext::applyBlendMode(bool enable, int mode) {
    if (!enable) {
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        return true;
    }
    glEnable(GL_BLEND);
    switch (mode) {
    case 1:
        glBlendFunc(GL_ONE, GL_ONE);
        break;
    case 2:
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
    case 3:
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case 4:
        // Not a source factor before OpenGL 1.4: an older implementation raises
        // GL_INVALID_ENUM and keeps the previous function.
        glBlendFunc(GL_SRC_COLOR, GL_ONE);
        break;
    default:
        break;  // any other mode keeps the current function
    }
    return true;
}

bool RenderContext::applyMaterial(const Material& material) {
    const Color4& d = material.diffuse;
    const Color4& s = material.specular;
    const float k = material.ambientScale;
    const GLfloat ambient[4] = {d.r * k, d.g * k, d.b * k, d.a * k};
    const GLfloat diffuse[4] = {d.r, d.g, d.b, d.a};
    const GLfloat specular[4] = {s.r, s.g, s.b, s.a};

    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, material.shininess);
    return true;
}
