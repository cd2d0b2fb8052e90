// orvel-floor-wayland: the least a Wayland program does to show a first OpenGL frame, as
// the floor for the Wayland program's start-up (orvel-bench --wayland): the connection,
// one layer surface over the first output (overlay layer, all four edges, the keyboard
// asked for, as the saver's), its size from the compositor, an EGL desktop OpenGL
// context on it, one cleared frame swapped, and the end. Exits with 0, or 1 and a line
// on standard error.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/wayland/layer_shell_client.h"

namespace {

wl_compositor* compositor = nullptr;
zwlr_layer_shell_v1* layerShell = nullptr;
int width = 0;
int height = 0;

void onGlobal(void*, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 1));
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        layerShell = static_cast<zwlr_layer_shell_v1*>(
            wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
    }
}
void onGlobalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener registryListener = {onGlobal, onGlobalRemove};

void onConfigure(void*, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t w, std::uint32_t h) {
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    width = int(w);
    height = int(h);
}
void onClosed(void*, zwlr_layer_surface_v1*) {}
const zwlr_layer_surface_v1_listener layerListener = {onConfigure, onClosed};

int failed(const char* what) {
    std::fprintf(stderr, "orvel-floor-wayland: %s\n", what);
    return 1;
}

}  // namespace

int main() {
    wl_display* connection = wl_display_connect(nullptr);
    if (connection == nullptr) return failed("no Wayland compositor");
    wl_registry_add_listener(wl_display_get_registry(connection), &registryListener, nullptr);
    wl_display_roundtrip(connection);
    if (compositor == nullptr || layerShell == nullptr) return failed("no compositor or layer shell global");

    wl_surface* surface = wl_compositor_create_surface(compositor);
    zwlr_layer_surface_v1* layer = zwlr_layer_shell_v1_get_layer_surface(
        layerShell, surface, nullptr, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "orvel-floor");
    zwlr_layer_surface_v1_add_listener(layer, &layerListener, nullptr);
    zwlr_layer_surface_v1_set_anchor(layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_exclusive_zone(layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(layer, 1);
    wl_surface_commit(surface);
    while (width == 0 && wl_display_dispatch(connection) >= 0) {
    }
    if (width <= 0 || height <= 0) return failed("no size from the compositor");

    EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, connection, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) return failed("no EGL display");
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                             EGL_DEPTH_SIZE,   16,             EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, wanted, &config, 1, &count) || count == 0) return failed("no EGL config");
    eglBindAPI(EGL_OPENGL_API);
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    wl_egl_window* window = wl_egl_window_create(surface, width, height);
    EGLSurface drawable = eglCreatePlatformWindowSurface(display, config, window, nullptr);
    if (context == EGL_NO_CONTEXT || drawable == EGL_NO_SURFACE ||
        !eglMakeCurrent(display, drawable, drawable, context)) {
        return failed("no OpenGL context on the surface");
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    eglSwapBuffers(display, drawable);
    return 0;
}
