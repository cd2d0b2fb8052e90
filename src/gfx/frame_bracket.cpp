// Opening and closing a frame: background into effect, buffers cleared, picture shown.
#include <GL/gl.h>

#include "gfx/frame_views.h"
#include "gfx/render_context.h"
#include "gfx/render_device.h"

bool RenderDevice::beginFrame() {
    const GLfloat colour[4] = {background.r, background.g, background.b, background.a};
    glClearColor(colour[0], colour[1], colour[2], colour[3]);
    glFogfv(GL_FOG_COLOR, colour);
    context.clearBuffers();
    return true;
}

bool RenderDevice::endFrame() {
    context.present();
    return true;
}

bool RenderContext::clearBuffers() {
    drawOnEveryView(deviceContext, [this] {
        if (clearDepth) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        } else {
            glClear(GL_COLOR_BUFFER_BIT);
        }
    });
    glColor3f(1.0f, 1.0f, 1.0f);
    return true;
}

bool RenderContext::present() {
    glFlush();
    swapBuffers(deviceContext);
    return true;
}
