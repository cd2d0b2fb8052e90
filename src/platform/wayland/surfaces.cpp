// The surfaces the program draws on. The full-screen saver has one layer surface on
// every output: in the overlay layer, anchored to all four edges so that it covers the
// output, over every other surface's exclusive zone, and taking the keyboard for as long
// as it is shown. An output that appears while the saver runs gets its surface at once;
// one that goes away takes its surface with it. The window mode's window is an xdg
// toplevel that the user can resize and close.
#include <wayland-client.h>

#include <cstdio>

#include "platform/messages.h"
#include "platform/program_start.h"
#include "platform/wayland/layer_shell_client.h"
#include "platform/wayland/wayland.h"
#include "platform/wayland/xdg_shell_client.h"

namespace {

constexpr std::uint32_t ALL_EDGES = ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT;
constexpr std::uint32_t KEYBOARD_EXCLUSIVE = 1;
constexpr char LAYER_NAME[] = "orvel";

// A new size for a surface; the EGL window follows it before the next frame is drawn.
void applySize(WaylandSurface& surface, int width, int height) {
    if (width <= 0 || height <= 0) return;
    if (surface.width == width && surface.height == height && surface.configured) return;
    surface.width = width;
    surface.height = height;
    if (surface.eglWindow != nullptr) {
        waylandEglResize(surface);
    } else {
        waylandEglAttach(surface);
    }
}

void onLayerConfigure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
                      std::uint32_t height) {
    auto* surface = static_cast<WaylandSurface*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    surface->configured = true;
    applySize(*surface, int(width), int(height));
}

void onLayerClosed(void* data, zwlr_layer_surface_v1*) { waylandReleaseSurface(*static_cast<WaylandSurface*>(data)); }

const zwlr_layer_surface_v1_listener layerListener = {onLayerConfigure, onLayerClosed};

// The toplevel's size arrives first and counts once its xdg surface is configured.
struct PendingSize {
    int width;
    int height;
};
PendingSize pendingToplevelSize{0, 0};

void onXdgSurfaceConfigure(void* data, xdg_surface* xdg, std::uint32_t serial) {
    auto* surface = static_cast<WaylandSurface*>(data);
    xdg_surface_ack_configure(xdg, serial);
    surface->configured = true;
    const int width = pendingToplevelSize.width > 0 ? pendingToplevelSize.width : surface->width;
    const int height = pendingToplevelSize.height > 0 ? pendingToplevelSize.height : surface->height;
    surface->width = 0;  // so that applySize takes the size even when it is unchanged
    applySize(*surface, width, height);
    if (surface->eglSurface == nullptr) wl_surface_commit(surface->surface);
}

const xdg_surface_listener xdgSurfaceListener = {onXdgSurfaceConfigure};

void onToplevelConfigure(void*, xdg_toplevel*, std::int32_t width, std::int32_t height, wl_array*) {
    pendingToplevelSize = {width, height};
}

// The window mode's window closes the picture inside it; the full-screen stand-in (see
// waylandFullScreenToplevel) closes itself.
void onToplevelClose(void* data, xdg_toplevel*) {
    auto* window = static_cast<WaylandWindow*>(data);
    if (window->kind == WaylandWindowKind::FullScreen) {
        platformPostMessage(waylandHandleOf(*window), WM_CLOSE, 0, 0);
    } else {
        waylandCloseChildrenOf(*window);
    }
}

const xdg_toplevel_listener toplevelListener = {onToplevelConfigure, onToplevelClose, nullptr, nullptr};  // later versions: not bound

// An empty region: no part of the saver's surface lets input through, and an empty
// opaque region is not given (the picture is opaque, the compositor may assume so).
void makeLayerSurface(WaylandOutput& output) {
    WaylandSurface& saver = output.saver;
    saver = WaylandSurface{};
    saver.originX = output.x;
    saver.originY = output.y;
    saver.surface = wl_compositor_create_surface(wayland.compositor);
    saver.layer = zwlr_layer_shell_v1_get_layer_surface(wayland.layerShell, saver.surface, output.output,
                                                        ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, LAYER_NAME);
    zwlr_layer_surface_v1_add_listener(saver.layer, &layerListener, &saver);
    zwlr_layer_surface_v1_set_anchor(saver.layer, ALL_EDGES);
    zwlr_layer_surface_v1_set_exclusive_zone(saver.layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(saver.layer, KEYBOARD_EXCLUSIVE);
    wl_surface_commit(saver.surface);
}

void makeToplevel(WaylandWindow& window, const char* title) {
    WaylandSurface& own = window.own;
    own.surface = wl_compositor_create_surface(wayland.compositor);
    own.xdg = xdg_wm_base_get_xdg_surface(wayland.wmBase, own.surface);
    xdg_surface_add_listener(own.xdg, &xdgSurfaceListener, &own);
    own.toplevel = xdg_surface_get_toplevel(own.xdg);
    xdg_toplevel_add_listener(own.toplevel, &toplevelListener, &window);
    xdg_toplevel_set_title(own.toplevel, title);
    xdg_toplevel_set_app_id(own.toplevel, "orvel");
}

}  // namespace

void waylandOutputAdded(WaylandOutput& output) {
    if (waylandFullScreenWindow() == nullptr || output.saver.surface != nullptr) return;
    if (wayland.layerShell == nullptr) return;
    makeLayerSurface(output);
}

void waylandOutputRemoved(WaylandOutput& output) { waylandReleaseSurface(output.saver); }

void waylandReleaseSurface(WaylandSurface& surface) {
    waylandEglDetach(surface);
    waylandUndecorate(surface);
    if (surface.layer != nullptr) zwlr_layer_surface_v1_destroy(surface.layer);
    if (surface.toplevel != nullptr) xdg_toplevel_destroy(surface.toplevel);
    if (surface.xdg != nullptr) xdg_surface_destroy(surface.xdg);
    if (surface.surface != nullptr) wl_surface_destroy(surface.surface);
    surface = WaylandSurface{};
}

// The full-screen saver where the compositor has no layer shell (GNOME): a toplevel
// that the compositor makes full screen on one output. Wayland lets no other kind of
// surface cover the screen.
void waylandFullScreenToplevel(WaylandWindow& window) {
    std::fprintf(stderr, "orvel: the Wayland compositor has no layer shell; covering one output with a "
                         "full-screen window instead\n");
    if (wayland.wmBase == nullptr) return;
    makeToplevel(window, "Screen Saver");
    xdg_toplevel_set_fullscreen(window.own.toplevel, nullptr);
    wl_surface_commit(window.own.surface);
}

// --- program_start.h: the window mode's window

WindowHandle platformRootWindow() {
    std::fprintf(stderr, "orvel: Wayland has no root window to draw in\n");
    return nullptr;
}

WindowHandle platformOpenOwnWindow(const char* title, int width, int height) {
    if (waylandDisplay() == nullptr) return nullptr;
    if (wayland.wmBase == nullptr) {
        std::fprintf(stderr, "orvel: the Wayland compositor offers no xdg shell for a window\n");
        return nullptr;
    }
    WaylandWindow* w = waylandClaimRecord();
    if (w == nullptr) return nullptr;
    w->own.width = width;
    w->own.height = height;
    if (!waylandDecoratedToplevel(*w, title)) return nullptr;
    return waylandHandleOf(*w);
}
