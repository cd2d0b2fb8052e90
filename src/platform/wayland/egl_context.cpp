// OpenGL on Wayland surfaces through EGL: a desktop OpenGL compatibility context
// (immediate mode must work) and one EGL window surface for each surface a window
// draws on. Pixel formats are the EGL configs that can render desktop OpenGL into a
// window, numbered from 1; as on Windows, a window keeps the first format set on it.
// What a frame draws on, and how it is shown on every output, is frame_present.cpp's.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <wayland-egl.h>

#include <cstdio>

#include "platform/gl_binding.h"
#include "platform/posix/heap_tuning.h"
#include "platform/common/egl_config_format.h"
#include "platform/common/pixel_format_choice.h"
#include "platform/posix/process.h"
#include "platform/wayland/wayland.h"

namespace {

constexpr int MAX_CONFIGS = 256;

EGLDisplay display = EGL_NO_DISPLAY;
bool displayTried = false;
EGLConfig configs[MAX_CONFIGS];
PixelFormatCandidate formats[MAX_CONFIGS];
EGLint configCount = 0;
EGLContext context = EGL_NO_CONTEXT;
EGLConfig contextConfig = nullptr;

// The configs as pixel formats.
void describeConfigs() {
    for (EGLint i = 0; i < configCount; ++i) formats[i] = eglConfigFormat(display, configs[i]);
}

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
            describeConfigs();
        }
    }
    return display != EGL_NO_DISPLAY;
}

WaylandWindow* windowOf(DeviceContext dc) { return waylandWindowOfDeviceContext(dc); }

EGLSurface eglSurfaceOf(WaylandSurface* surface) {
    return surface != nullptr && surface->eglSurface != nullptr ? static_cast<EGLSurface>(surface->eglSurface)
                                                                : EGL_NO_SURFACE;
}

}  // namespace

void waylandEglAttach(WaylandSurface& surface) {
    if (context == EGL_NO_CONTEXT || surface.eglWindow != nullptr || surface.surface == nullptr ||
        surface.width <= 0 || surface.height <= 0) {
        return;
    }
    surface.eglWindow = wl_egl_window_create(surface.surface, surface.bufferWidth, surface.bufferHeight);
    EGLSurface made = eglCreatePlatformWindowSurface(display, contextConfig, surface.eglWindow, nullptr);
    if (made == EGL_NO_SURFACE) {
        wl_egl_window_destroy(surface.eglWindow);
        surface.eglWindow = nullptr;
        return;
    }
    surface.eglSurface = made;
    // The compositor's frame callbacks pace the frames (frame_present.cpp): a swap must
    // never wait for one itself, or an output that shows nothing would hold up the rest.
    const EGLSurface drawSurface = eglGetCurrentSurface(EGL_DRAW);
    if (eglMakeCurrent(display, made, made, context) == EGL_TRUE) eglSwapInterval(display, 0);
    if (drawSurface != EGL_NO_SURFACE) eglMakeCurrent(display, drawSurface, drawSurface, context);
    waylandUpdatePaintHolds();
}

void waylandEglResize(WaylandSurface& surface) {
    if (surface.eglWindow != nullptr) {
        wl_egl_window_resize(surface.eglWindow, surface.bufferWidth, surface.bufferHeight, 0, 0);
    }
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
    return closestPixelFormat(formats, configCount, request);
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

// The rendering context on the window's first surface, or on none before the compositor
// has configured one; each frame picks its surfaces again (waylandBeginFrame).
bool makeCurrent(DeviceContext dc, GlContextHandle handle) {
    if (display == EGL_NO_DISPLAY) return handle == nullptr;
    if (handle == nullptr) return eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT) == EGL_TRUE;
    WaylandWindow* window = windowOf(dc);
    if (window == nullptr) return false;
    WaylandSurface* surfaces[1];
    const EGLSurface surface = waylandDrawingSurfaces(*window, surfaces, 1) > 0 ? eglSurfaceOf(surfaces[0]) : EGL_NO_SURFACE;
    return eglMakeCurrent(display, surface, surface, static_cast<EGLContext>(handle)) == EGL_TRUE;
}

bool waylandMakeSurfaceCurrent(WaylandSurface& surface) {
    const EGLSurface made = eglSurfaceOf(&surface);
    if (made == EGL_NO_SURFACE || context == EGL_NO_CONTEXT) return false;
    if (eglGetCurrentSurface(EGL_DRAW) == made && eglGetCurrentContext() == context) return true;
    return eglMakeCurrent(display, made, made, context) == EGL_TRUE;
}

bool waylandSwapSurface(WaylandSurface& surface) {
    const EGLSurface made = eglSurfaceOf(&surface);
    return made != EGL_NO_SURFACE && eglSwapBuffers(display, made) == EGL_TRUE;
}

bool waylandContextCurrent() { return context != EGL_NO_CONTEXT && eglGetCurrentContext() == context; }

void deleteGlContext(GlContextHandle handle) {
    if (handle == nullptr || display == EGL_NO_DISPLAY) return;
    eglDestroyContext(display, static_cast<EGLContext>(handle));
    if (handle == context) context = EGL_NO_CONTEXT;
}

void showErrorBox(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}
