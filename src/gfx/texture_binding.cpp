// Putting a texture into effect: its OpenGL object is made on first use and bound on
// every later one; the filters follow the caller's smoothing choice each time.
#include <GL/gl.h>

#include "gfx/render_context.h"
#include "gfx/texture.h"

namespace {
// Makes the texture's OpenGL object from its pixels and leaves it bound. Without a
// current context no name comes back; the texture then stays uncreated.
bool createTextureObject(Texture& texture) {
    GLuint name = 0;
    glGenTextures(1, &name);
    if (name == 0) {
        return false;
    }
    glBindTexture(GL_TEXTURE_2D, name);
    glEnable(GL_TEXTURE_2D);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GLfloat(GL_REPEAT));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GLfloat(GL_REPEAT));
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, texture.width, texture.height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, texture.pixels.get());
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GLfloat(GL_MODULATE));
    texture.created = true;
    texture.glName = name;
    return true;
}
}  // namespace

bool RenderContext::bindTexture(bool enable, Texture* texture, bool smooth) {
    // A texture without an image is drawn untextured rather than uploaded as garbage.
    const bool usable = enable && texture != nullptr && (texture->created || texture->loaded);
    if (!usable) {
        glDisable(GL_TEXTURE_2D);
    } else if (texture->created) {
        glBindTexture(GL_TEXTURE_2D, texture->glName);
        glEnable(GL_TEXTURE_2D);
    } else if (!createTextureObject(*texture)) {
        glDisable(GL_TEXTURE_2D);
    }

    // Filters belong to the texture object bound now.
    const GLfloat filter = smooth ? GLfloat(GL_LINEAR) : GLfloat(GL_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    return true;
}
