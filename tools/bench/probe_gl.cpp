// orvel-probe's window-system and OpenGL entry points: the display opened, the rendering
// context made and made current, the window mapped, and every buffer swap, with Xlib and
// GLX (the X11 program) or libwayland-client and EGL (the Wayland program). Their types
// stay opaque here: the probe needs no headers of theirs.
#include "probe_internal.h"

extern "C" {

using XOpenDisplayFunction = void* (*)(const char*);
void* XOpenDisplay(const char* name) {
    static XOpenDisplayFunction real = nullptr;
    void* display = probeNextOf(real, "XOpenDisplay")(name);
    probeMark(PROBE_DISPLAY);
    return display;
}

using MapFunction = int (*)(void*, unsigned long);
int XMapRaised(void* display, unsigned long window) {
    static MapFunction real = nullptr;
    const int result = probeNextOf(real, "XMapRaised")(display, window);
    probeWindowMapped();
    return result;
}

int XMapWindow(void* display, unsigned long window) {
    static MapFunction real = nullptr;
    const int result = probeNextOf(real, "XMapWindow")(display, window);
    probeWindowMapped();
    return result;
}

using CreateContextFunction = void* (*)(void*, void*, void*, int);
void* glXCreateContext(void* display, void* visual, void* share, int direct) {
    static CreateContextFunction real = nullptr;
    void* context = probeNextOf(real, "glXCreateContext")(display, visual, share, direct);
    if (context != nullptr) probeMark(PROBE_CONTEXT);
    return context;
}

using MakeCurrentFunction = int (*)(void*, unsigned long, void*);
int glXMakeCurrent(void* display, unsigned long drawable, void* context) {
    static MakeCurrentFunction real = nullptr;
    const int made = probeNextOf(real, "glXMakeCurrent")(display, drawable, context);
    if (made != 0 && context != nullptr) probeMark(PROBE_CURRENT);
    return made;
}

using SwapFunction = void (*)(void*, unsigned long);
void glXSwapBuffers(void* display, unsigned long drawable) {
    static SwapFunction real = nullptr;
    if (probeNextOf(real, "glXSwapBuffers") != nullptr) real(display, drawable);
    probeFrameShown();
}

using ConnectFunction = void* (*)(const char*);
void* wl_display_connect(const char* name) {
    static ConnectFunction real = nullptr;
    void* display = probeNextOf(real, "wl_display_connect")(name);
    if (display != nullptr) probeMark(PROBE_DISPLAY);
    return display;
}

using EglCreateContextFunction = void* (*)(void*, void*, void*, const int*);
void* eglCreateContext(void* display, void* config, void* share, const int* attributes) {
    static EglCreateContextFunction real = nullptr;
    void* context = probeNextOf(real, "eglCreateContext")(display, config, share, attributes);
    if (context != nullptr) probeMark(PROBE_CONTEXT);
    return context;
}

using EglMakeCurrentFunction = unsigned (*)(void*, void*, void*, void*);
unsigned eglMakeCurrent(void* display, void* draw, void* read, void* context) {
    static EglMakeCurrentFunction real = nullptr;
    const unsigned made = probeNextOf(real, "eglMakeCurrent")(display, draw, read, context);
    if (made != 0 && context != nullptr && draw != nullptr) probeMark(PROBE_CURRENT);
    return made;
}

// Every swap counts as a frame presented: the Wayland program swaps once for each output
// in a frame, so frames are counted right with one output only.
using EglSwapFunction = unsigned (*)(void*, void*);
unsigned eglSwapBuffers(void* display, void* surface) {
    static EglSwapFunction real = nullptr;
    const unsigned swapped = probeNextOf(real, "eglSwapBuffers")(display, surface);
    probeFrameShown();
    return swapped;
}

}  // extern "C"
