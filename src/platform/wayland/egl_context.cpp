// OpenGL on Wayland surfaces through EGL: a desktop OpenGL compatibility context
// (immediate mode must work) and one EGL window surface for each surface a window
// draws on. Pixel formats are the EGL configs that can render desktop OpenGL into a
// window, numbered from 1; as on Windows, a window keeps the first format set on it.
//
// The full-screen saver covers every output with one picture: the scene is drawn once
// a frame, on the first output's surface, and before that surface is shown the picture
// is copied into a texture and laid over each other output's surface. The scene thus
// advances once per frame and every output shows the same moment, for the price of one
// textured quad per extra output.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <wayland-egl.h>

#include <cstdio>
#include <cstdlib>

#include "platform/gl_binding.h"
#include "platform/heap_tuning.h"
#include "platform/posix_process.h"
#include "platform/wayland/wayland.h"

namespace {

constexpr int MAX_CONFIGS = 256;

EGLDisplay display = EGL_NO_DISPLAY;
bool displayTried = false;
EGLConfig configs[MAX_CONFIGS];
EGLint configCount = 0;
EGLContext context = EGL_NO_CONTEXT;
EGLConfig contextConfig = nullptr;
GLuint copyTexture = 0;
int copyWidth = 0;
int copyHeight = 0;

bool displayReady() {
    if (!displayTried) {
        displayTried = true;
        wl_display* connection = waylandDisplay();
        if (connection == nullptr) return false;
        EGLDisplay candidate = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, connection, nullptr);
        EGLint major = 0;
        EGLint minor = 0;
        if (candidate != EGL_NO_DISPLAY && eglInitialize(candidate, &major, &minor)) {
            const EGLint wanted[] = {EGL_SURFACE_TYPE,      EGL_WINDOW_BIT,      EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                     EGL_COLOR_BUFFER_TYPE, EGL_RGB_BUFFER,      EGL_NONE};
            if (!eglChooseConfig(candidate, wanted, configs, MAX_CONFIGS, &configCount)) configCount = 0;
            display = candidate;
        }
    }
    return display != EGL_NO_DISPLAY;
}

EGLint configAttribute(EGLConfig config, EGLint attribute) {
    EGLint value = 0;
    eglGetConfigAttrib(display, config, attribute, &value);
    return value;
}

// How far a config is from the request; lower is closer. Colour channels count most,
// then the depth buffer, then alpha and stencil bits nobody asked for.
long configDistance(EGLConfig config, const PixelFormatRequest& request) {
    const bool highColour = request.cColorBits > 16;
    const EGLint wantColour = highColour ? 8 : 5;
    const EGLint wantDepth = request.cDepthBits > 16 ? 24 : 16;
    long distance = configAttribute(config, EGL_DEPTH_SIZE) == 0 ? 1000000 : 0;
    distance += 1000L * (std::labs(configAttribute(config, EGL_RED_SIZE) - wantColour) +
                         std::labs(configAttribute(config, EGL_GREEN_SIZE) - wantColour) +
                         std::labs(configAttribute(config, EGL_BLUE_SIZE) - wantColour));
    distance += 10L * std::labs(configAttribute(config, EGL_DEPTH_SIZE) - wantDepth);
    distance += std::labs(configAttribute(config, EGL_ALPHA_SIZE) - request.cAlphaBits);
    distance += std::labs(configAttribute(config, EGL_STENCIL_SIZE) - request.cStencilBits);
    return distance;
}

WaylandWindow* windowOf(DeviceContext dc) { return waylandWindowOfDeviceContext(dc); }

EGLSurface eglSurfaceOf(WaylandSurface* surface) {
    return surface != nullptr && surface->eglSurface != nullptr ? static_cast<EGLSurface>(surface->eglSurface)
                                                                : EGL_NO_SURFACE;
}

// The picture just drawn on the first surface, into the copy texture (made again only
// when that surface's size changes, not every frame).
void copyPicture(int width, int height) {
    glPushAttrib(GL_TEXTURE_BIT);
    if (copyTexture == 0) glGenTextures(1, &copyTexture);
    glBindTexture(GL_TEXTURE_2D, copyTexture);
    if (width != copyWidth || height != copyHeight) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
        copyWidth = width;
        copyHeight = height;
    }
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
    glPopAttrib();
}

// The copy texture over the whole of the current surface, leaving every state as found.
void layPicture(int width, int height) {
    waylandBeginPlainDrawing(width, height);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, copyTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    waylandEndPlainDrawing();
}

}  // namespace

void waylandBeginPlainDrawing(int width, int height) {
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
    glViewport(0, 0, width, height);
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

void waylandEglAttach(WaylandSurface& surface) {
    if (context == EGL_NO_CONTEXT || surface.eglWindow != nullptr || surface.surface == nullptr ||
        surface.width <= 0 || surface.height <= 0) {
        return;
    }
    surface.eglWindow = wl_egl_window_create(surface.surface, surface.width, surface.height);
    EGLSurface made = eglCreatePlatformWindowSurface(display, contextConfig, surface.eglWindow, nullptr);
    if (made == EGL_NO_SURFACE) {
        wl_egl_window_destroy(surface.eglWindow);
        surface.eglWindow = nullptr;
        return;
    }
    surface.eglSurface = made;
    // The saver paces its own frames; a surface whose output shows nothing must not
    // hold the frame up.
    EGLSurface drawSurface = eglGetCurrentSurface(EGL_DRAW);
    eglMakeCurrent(display, made, made, context);
    eglSwapInterval(display, 0);
    if (drawSurface != EGL_NO_SURFACE) eglMakeCurrent(display, drawSurface, drawSurface, context);
}

void waylandEglResize(WaylandSurface& surface) {
    if (surface.eglWindow != nullptr) wl_egl_window_resize(surface.eglWindow, surface.width, surface.height, 0, 0);
}

void waylandEglDetach(WaylandSurface& surface) {
    if (surface.eglSurface != nullptr) {
        if (eglGetCurrentSurface(EGL_DRAW) == surface.eglSurface) {
            eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context);
        }
        eglDestroySurface(display, static_cast<EGLSurface>(surface.eglSurface));
    }
    if (surface.eglWindow != nullptr) wl_egl_window_destroy(surface.eglWindow);
    surface.eglSurface = nullptr;
    surface.eglWindow = nullptr;
}

int choosePixelFormat(DeviceContext dc, const PixelFormatRequest& request) {
    if (windowOf(dc) == nullptr || !displayReady()) return 0;
    int best = 0;
    long bestDistance = 0;
    for (int i = 0; i < configCount; ++i) {
        const long distance = configDistance(configs[i], request);
        if (best == 0 || distance < bestDistance) {
            best = i + 1;
            bestDistance = distance;
        }
    }
    return best;
}

bool setPixelFormat(DeviceContext dc, int format, const PixelFormatRequest&) {
    WaylandWindow* window = windowOf(dc);
    if (window == nullptr || format < 1 || format > configCount) return false;
    if (window->pixelFormat != 0) return window->pixelFormat == format;
    window->pixelFormat = format;
    return true;
}

GlContextHandle createGlContext(DeviceContext dc, int, int) {
    WaylandWindow* window = windowOf(dc);
    if (window == nullptr || window->pixelFormat == 0 || !displayReady() || context != EGL_NO_CONTEXT) return nullptr;
    keepLargeBlocksOnTheHeap();
    eglBindAPI(EGL_OPENGL_API);
    contextConfig = configs[window->pixelFormat - 1];
    context = eglCreateContext(display, contextConfig, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) return nullptr;
    WaylandSurface* surfaces[OUTPUT_CAPACITY];
    const int count = waylandDrawingSurfaces(*window, surfaces, OUTPUT_CAPACITY);
    for (int i = 0; i < count; ++i) waylandEglAttach(*surfaces[i]);
    return context;
}

bool makeCurrent(DeviceContext dc, GlContextHandle handle) {
    if (display == EGL_NO_DISPLAY) return handle == nullptr;
    if (handle == nullptr) return eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT) == EGL_TRUE;
    WaylandWindow* window = windowOf(dc);
    if (window == nullptr) return false;
    WaylandSurface* surfaces[1];
    const EGLSurface surface = waylandDrawingSurfaces(*window, surfaces, 1) > 0 ? eglSurfaceOf(surfaces[0]) : EGL_NO_SURFACE;
    if (eglMakeCurrent(display, surface, surface, static_cast<EGLContext>(handle)) != EGL_TRUE) return false;
    window->viewWidth = surface != EGL_NO_SURFACE ? surfaces[0]->width : 0;
    window->viewHeight = surface != EGL_NO_SURFACE ? surfaces[0]->height : 0;
    return true;
}

void deleteGlContext(GlContextHandle handle) {
    if (handle == nullptr || display == EGL_NO_DISPLAY) return;
    eglDestroyContext(display, static_cast<EGLContext>(handle));
    if (handle == context) context = EGL_NO_CONTEXT;
}

// Shows the frame, with the text written since the last one, on every surface of the
// window. The first surface may have changed since the last frame (its output went
// away) or changed size; the next frame is then drawn on the new first surface with a
// viewport of its size.
bool swapBuffers(DeviceContext dc) {
    WaylandWindow* window = windowOf(dc);
    if (window == nullptr || context == EGL_NO_CONTEXT || eglGetCurrentContext() != context) return false;
    WaylandSurface* surfaces[OUTPUT_CAPACITY];
    const int count = waylandDrawingSurfaces(*window, surfaces, OUTPUT_CAPACITY);
    const EGLSurface current = eglGetCurrentSurface(EGL_DRAW);
    if (count == 0 || current == EGL_NO_SURFACE || current != eglSurfaceOf(surfaces[0])) {
        if (count > 0 && eglSurfaceOf(surfaces[0]) != EGL_NO_SURFACE) makeCurrent(dc, context);
        glViewport(0, 0, window->viewWidth, window->viewHeight);
        window->textCount = 0;
        return count > 0;
    }
    const int width = surfaces[0]->width;
    const int height = surfaces[0]->height;
    if (count > 1) copyPicture(window->viewWidth, window->viewHeight);
    // The text goes on the first surface only, as on a window over one screen.
    waylandDrawTexts(*window, window->viewWidth, window->viewHeight);
    eglSwapBuffers(display, current);
    for (int i = 1; i < count; ++i) {
        const EGLSurface other = eglSurfaceOf(surfaces[i]);
        if (other == EGL_NO_SURFACE || eglMakeCurrent(display, other, other, context) != EGL_TRUE) continue;
        layPicture(surfaces[i]->width, surfaces[i]->height);
        eglSwapBuffers(display, other);
    }
    if (count > 1) eglMakeCurrent(display, current, current, context);
    posixNoteFrameShown();
    if (width != window->viewWidth || height != window->viewHeight) {
        glViewport(0, 0, width, height);
        window->viewWidth = width;
        window->viewHeight = height;
    }
    return true;
}

void showErrorBox(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}
