// A frame of a window on Wayland: which surfaces it is drawn on, and how it is shown.
//
// Each surface asks the compositor for a frame callback with every picture it shows, and
// gets a new picture only once the callback has come: an output that is off or hidden
// asks for none and costs nothing. A frame is drawn for the surfaces that want one.
//
// The full-screen saver spans every output with one picture, as one window over the
// whole screen does on X11 and Windows: each output's surface draws the whole box
// around the outputs with a viewport offset by the output's place in it, at the output's
// own pixels. The scene is drawn once a frame, on the first surface, and recorded as it
// is drawn in a display list; each further surface plays the list back from the state
// the frame began in. The scene thus advances once a frame and every output shows the
// same moment.
#include <GL/gl.h>

#include "platform/gl_binding.h"
#include "platform/posix_process.h"
#include "platform/wayland/output_geometry.h"
#include "platform/wayland/wayland.h"

namespace {

// The frame being drawn: its window and the surfaces it goes to.
WaylandWindow* frameWindow = nullptr;
WaylandSurface* frameSurfaces[OUTPUT_CAPACITY];
int frameSurfaceCount = 0;
bool recording = false;
GLuint frameList = 0;
GLint frameMatrixMode = GL_MODELVIEW;
constexpr GLenum MATRIX_MODES[] = {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW};

// The box of the window's picture on one of its surfaces: the surface's part of it, in
// the surface's pixels.
void fitViewport(WaylandWindow& window, const WaylandSurface& surface) {
    const WaylandBox box = waylandPictureBox(window);
    const bool onOutput = surface.layer != nullptr && surface.output != nullptr;
    const Viewport view = viewportFor(box.width, box.height, onOutput ? surface.output->x - box.left : 0,
                                      onOutput ? surface.output->y - box.top : 0, surface.width, surface.height,
                                      surface.bufferWidth, surface.bufferHeight);
    glViewport(view.x, view.y, view.width, view.height);
}

// The frame's starting state, kept for the play-backs: every attribute, and the three
// matrices with the matrix mode.
void saveFrameState() {
    glGetIntegerv(GL_MATRIX_MODE, &frameMatrixMode);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    for (const GLenum mode : MATRIX_MODES) {
        glMatrixMode(mode);
        glPushMatrix();
    }
    glMatrixMode(GLenum(frameMatrixMode));
}

void restoreFrameState() {
    for (const GLenum mode : MATRIX_MODES) {
        glMatrixMode(mode);
        glPopMatrix();
    }
    glPopClientAttrib();
    glPopAttrib();
}

// The text written since the last frame over the picture, then the picture shown with a
// frame callback asked for. False when the swap failed: no picture was shown.
bool show(WaylandWindow& window, WaylandSurface& surface) {
    const WaylandBox box = waylandPictureBox(window);
    waylandDrawTexts(window, box.width, box.height);
    waylandAskFrame(surface);
    if (!waylandSwapSurface(surface)) return false;
    surface.covered = true;
    ++surface.shown;
    if (window.kind == WaylandWindowKind::FullScreen && surface.output != nullptr) {
        surface.output->shownWidth = surface.bufferWidth;
        surface.output->shownHeight = surface.bufferHeight;
        ++surface.output->shown;
    }
    return true;
}

}  // namespace

void waylandBeginFrame(WaylandWindow& window) {
    frameWindow = nullptr;
    frameSurfaceCount = 0;
    WaylandSurface* surfaces[OUTPUT_CAPACITY];
    const int count = waylandDrawingSurfaces(window, surfaces, OUTPUT_CAPACITY);
    for (int i = 0; i < count; ++i) {
        if (waylandWantsFrame(*surfaces[i])) frameSurfaces[frameSurfaceCount++] = surfaces[i];
    }
    while (frameSurfaceCount > 0 && !waylandMakeSurfaceCurrent(*frameSurfaces[0])) {
        --frameSurfaceCount;
        for (int i = 0; i < frameSurfaceCount; ++i) frameSurfaces[i] = frameSurfaces[i + 1];
    }
    if (frameSurfaceCount == 0) return;
    frameWindow = &window;
    fitViewport(window, *frameSurfaces[0]);
    if (frameSurfaceCount > 1) {
        if (frameList == 0) frameList = glGenLists(1);
        saveFrameState();
        glNewList(frameList, GL_COMPILE_AND_EXECUTE);
        recording = true;
    }
}

// Shows the frame on every surface it was drawn for. A surface whose output went away
// during the frame is skipped; a failed swap is no picture shown.
bool swapBuffers(DeviceContext dc) {
    WaylandWindow* window = waylandWindowOfDeviceContext(dc);
    if (window == nullptr || window != frameWindow || !waylandContextCurrent()) {
        if (window != nullptr) window->textCount = 0;
        return false;
    }
    if (recording) {
        glEndList();
        recording = false;
    }
    frameWindow = nullptr;
    // Back to the frame's start (the first surface's viewport is part of it) before the
    // text's own state is pushed, so that no matrix stack goes deeper than two.
    if (frameSurfaceCount > 1) restoreFrameState();
    bool anyShown = show(*window, *frameSurfaces[0]);
    for (int i = 1; i < frameSurfaceCount; ++i) {
        WaylandSurface& surface = *frameSurfaces[i];
        if (surface.eglSurface == nullptr || !waylandMakeSurfaceCurrent(surface)) continue;
        const bool last = i == frameSurfaceCount - 1;
        if (!last) saveFrameState();
        fitViewport(*window, surface);
        glCallList(frameList);
        anyShown = show(*window, surface) || anyShown;
        if (!last) restoreFrameState();
    }
    window->textCount = 0;
    frameSurfaceCount = 0;
    if (anyShown) posixNoteFrameShown();
    waylandUpdatePaintHolds();
    return anyShown;
}

void waylandBeginPlainDrawing() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
}

void waylandEndPlainDrawing() {
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
}

