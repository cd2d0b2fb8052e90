// A frame of a window on Wayland: which surfaces it is drawn on, and how it is shown.
//
// Each surface asks the compositor for a frame callback with every picture it shows, and
// gets a new picture only once the callback has come: an output that is off or hidden
// asks for none and costs nothing. A frame is drawn for the surfaces that want one.
//
// The full-screen saver spans every output with one picture, as one window over the
// whole screen does on X11 and Windows: each output's surface draws the whole box
// around the outputs with a viewport offset by the output's place in it, at the output's
// own pixels. The surfaces of a frame are its views (platform/gl_binding.h): the drawing
// code makes each drawing on every view in turn, so the scene advances once a frame and
// every output shows the same moment.
#include <GL/gl.h>

#include "platform/gl_binding.h"
#include "platform/posix/process.h"
#include "platform/wayland/output_geometry.h"
#include "platform/wayland/wayland.h"

namespace {

// The frame being drawn: its window and the surfaces it goes to.
WaylandWindow* frameWindow = nullptr;
WaylandSurface* frameSurfaces[OUTPUT_CAPACITY];
int frameSurfaceCount = 0;

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
}

int frameViewCount(DeviceContext dc) {
    WaylandWindow* window = waylandWindowOfDeviceContext(dc);
    return window != nullptr && window == frameWindow && frameSurfaceCount > 0 ? frameSurfaceCount : 1;
}

// A surface that cannot be made current (its output went during the frame) is drawn
// on no more.
bool selectFrameView(DeviceContext dc, int view) {
    WaylandWindow* window = waylandWindowOfDeviceContext(dc);
    if (window == nullptr || window != frameWindow || view < 0 || view >= frameSurfaceCount) return false;
    WaylandSurface& surface = *frameSurfaces[view];
    if (surface.eglSurface == nullptr || !waylandMakeSurfaceCurrent(surface)) return false;
    fitViewport(*window, surface);
    return true;
}

// Shows the frame on every surface it was drawn for, each with the text. A surface whose
// output went away during the frame is skipped; a failed swap is no picture shown.
bool swapBuffers(DeviceContext dc) {
    WaylandWindow* window = waylandWindowOfDeviceContext(dc);
    if (window == nullptr || window != frameWindow || !waylandContextCurrent()) {
        if (window != nullptr) window->textCount = 0;
        return false;
    }
    frameWindow = nullptr;
    bool anyShown = false;
    for (int i = 0; i < frameSurfaceCount; ++i) {
        WaylandSurface& surface = *frameSurfaces[i];
        if (surface.eglSurface == nullptr || !waylandMakeSurfaceCurrent(surface)) continue;
        fitViewport(*window, surface);
        anyShown = show(*window, surface) || anyShown;
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

