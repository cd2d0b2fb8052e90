// Headless OpenGL on Mesa's surfaceless EGL platform: a desktop OpenGL compatibility
// context (immediate mode must work) drawing into a pbuffer of the window's size.
//
// A DeviceContext here is any non-null token that names one off-screen surface; null
// stands for no device. Pixel formats are the EGL configs that can render desktop
// OpenGL into a pbuffer, numbered from 1. As on Windows, a surface keeps the first
// format set on it and refuses a different one later.
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>

#include "platform/gl_binding.h"
#include "platform/headless/headless.h"
#include "platform/posix/heap_tuning.h"
#include "platform/common/egl_config_format.h"
#include "platform/common/pixel_format_choice.h"

namespace {
struct HeadlessContext {
    EGLContext context;
    EGLSurface surface;
};

struct SurfaceFormat {
    DeviceContext dc;
    int format;
};

constexpr int MAX_CONFIGS = 256;
constexpr int MAX_SURFACES = 16;

EGLDisplay display = EGL_NO_DISPLAY;
bool displayTried = false;
EGLConfig configs[MAX_CONFIGS];
PixelFormatCandidate formats[MAX_CONFIGS];
EGLint configCount = 0;
SurfaceFormat surfaceFormats[MAX_SURFACES];
int nextSurfaceSlot = 0;

// The configs as pixel formats.
void describeConfigs() {
    for (EGLint i = 0; i < configCount; ++i) formats[i] = eglConfigFormat(display, configs[i]);
}

// Opens the surfaceless display once and lists its configs; false when there is none.
bool displayReady() {
    if (!displayTried) {
        displayTried = true;
        EGLDisplay candidate = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        EGLint major = 0;
        EGLint minor = 0;
        if (candidate != EGL_NO_DISPLAY && eglInitialize(candidate, &major, &minor)) {
            const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
                                     EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                     EGL_COLOR_BUFFER_TYPE, EGL_RGB_BUFFER,
                                     EGL_NONE};
            if (!eglChooseConfig(candidate, wanted, configs, MAX_CONFIGS, &configCount)) {
                configCount = 0;
            }
            display = candidate;
            describeConfigs();
        }
    }
    return display != EGL_NO_DISPLAY;
}

SurfaceFormat* findSurface(DeviceContext dc) {
    for (SurfaceFormat& entry : surfaceFormats) {
        if (entry.dc == dc) {
            return &entry;
        }
    }
    return nullptr;
}
}  // namespace

int choosePixelFormat(DeviceContext dc, const PixelFormatRequest& request) {
    if (dc == nullptr || !displayReady()) {
        return 0;
    }
    return closestPixelFormat(formats, configCount, request);
}

bool setPixelFormat(DeviceContext dc, int format, const PixelFormatRequest&) {
    if (dc == nullptr || !displayReady() || format < 1 || format > configCount) {
        return false;
    }
    if (SurfaceFormat* entry = findSurface(dc)) {
        return entry->format == format;
    }
    surfaceFormats[nextSurfaceSlot] = {dc, format};
    nextSurfaceSlot = (nextSurfaceSlot + 1) % MAX_SURFACES;
    return true;
}

GlContextHandle createGlContext(DeviceContext dc, int width, int height) {
    SurfaceFormat* entry = dc == nullptr ? nullptr : findSurface(dc);
    if (entry == nullptr || !displayReady() || !eglBindAPI(EGL_OPENGL_API)) {
        return nullptr;
    }
    EGLConfig config = configs[entry->format - 1];
    keepLargeBlocksOnTheHeap();

    const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                    EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, compatibility);
    if (context == EGL_NO_CONTEXT) {
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    }
    if (context == EGL_NO_CONTEXT) {
        return nullptr;
    }

    const EGLint size[] = {EGL_WIDTH, width > 0 ? width : 1, EGL_HEIGHT, height > 0 ? height : 1, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, size);
    if (surface == EGL_NO_SURFACE) {
        eglDestroyContext(display, context);
        return nullptr;
    }
    return new HeadlessContext{context, surface};
}

bool makeCurrent(DeviceContext, GlContextHandle context) {
    if (display == EGL_NO_DISPLAY) {
        return context == nullptr;
    }
    if (context == nullptr) {
        return eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT) == EGL_TRUE;
    }
    const HeadlessContext* headless = static_cast<const HeadlessContext*>(context);
    return eglMakeCurrent(display, headless->surface, headless->surface, headless->context) == EGL_TRUE;
}

void deleteGlContext(GlContextHandle context) {
    if (context == nullptr || display == EGL_NO_DISPLAY) {
        return;
    }
    HeadlessContext* headless = static_cast<HeadlessContext*>(context);
    eglDestroySurface(display, headless->surface);
    eglDestroyContext(display, headless->context);
    delete headless;
}

bool swapBuffers(DeviceContext dc) {
    if (dc == nullptr || display == EGL_NO_DISPLAY) {
        return false;
    }
    EGLSurface surface = eglGetCurrentSurface(EGL_DRAW);
    return surface != EGL_NO_SURFACE && eglSwapBuffers(display, surface) == EGL_TRUE;
}

void showErrorBox(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}

bool headlessGlContextIsCurrent() {
    return eglGetCurrentContext() != EGL_NO_CONTEXT;
}

// One surface, one view.
int frameViewCount(DeviceContext) { return 1; }

bool selectFrameView(DeviceContext, int view) { return view == 0; }
