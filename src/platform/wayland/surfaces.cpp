// The surfaces the program draws on. The full-screen saver has one layer surface on
// every output: in the overlay layer, anchored to all four edges so that it covers the
// output, over every other surface's exclusive zone, and taking the keyboard for as long
// as it is shown. An output that appears while the saver runs gets its surface at once;
// one that goes away takes its surface with it, and a surface that the compositor closes
// while its output stays is made again. Where there is no layer shell, the saver is a
// full-screen xdg toplevel instead. The window mode's window, an xdg toplevel that the
// user can resize and close, is made with its decorations (decorated_window.cpp).
#include <wayland-client.h>

#include <cstdio>

#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/program_start.h"
#include "platform/wayland/layer_shell_client.h"
#include "platform/wayland/wayland.h"
#include "platform/wayland/xdg_shell_client.h"

namespace {

constexpr std::uint32_t ALL_EDGES = ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT;
constexpr std::uint32_t KEYBOARD_EXCLUSIVE = 1;
constexpr char LAYER_NAME[] = "orvel";

constexpr std::uint32_t REMAKE_PAUSE_MS = 1000;  // a compositor that keeps closing is not flooded

// A new logical size for a surface; its buffer and EGL window follow before the next
// frame is drawn.
void applySize(WaylandSurface& surface, int width, int height) {
    if (width <= 0 || height <= 0) return;
    surface.width = width;
    surface.height = height;
    waylandFitBuffer(surface);
}

void onLayerConfigure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
                      std::uint32_t height) {
    auto* surface = static_cast<WaylandSurface*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    surface->configured = true;
    // Anchored to all four edges, the surface is the output's size; a compositor that
    // leaves the size to the client gets that.
    if ((width == 0 || height == 0) && surface->output != nullptr) {
        width = std::uint32_t(surface->output->width);
        height = std::uint32_t(surface->output->height);
    }
    applySize(*surface, int(width), int(height));
    waylandUpdatePaintHolds();
}

// The compositor may close the saver's surface while its output stays (when the output
// is turned off, say); the output is covered again by a new one.
void onLayerClosed(void* data, zwlr_layer_surface_v1*) {
    auto* surface = static_cast<WaylandSurface*>(data);
    WaylandOutput* output = surface->output;
    waylandReleaseSurface(*surface);
    if (output != nullptr) {
        // At once, but a second close within the pause waits out the pause.
        const std::uint32_t now = platformTickCount();
        const bool again = output->closedAt != 0 && now - output->closedAt < REMAKE_PAUSE_MS;
        output->remakeSaver = true;
        output->remakeAt = again ? now + REMAKE_PAUSE_MS : now;
        output->closedAt = now;
    }
    waylandUpdatePaintHolds();
}

const zwlr_layer_surface_v1_listener layerListener = {onLayerConfigure, onLayerClosed};

// The stand-in's size arrives first and counts once its xdg surface is configured.
struct PendingSize {
    int width;
    int height;
};
PendingSize pendingToplevelSize{0, 0};

// A size of 0 leaves it to the program: the stand-in takes the size of the output it is
// on, and draws at once.
void onXdgSurfaceConfigure(void* data, xdg_surface* xdg, std::uint32_t serial) {
    auto* surface = static_cast<WaylandSurface*>(data);
    xdg_surface_ack_configure(xdg, serial);
    surface->configured = true;
    int width = pendingToplevelSize.width;
    int height = pendingToplevelSize.height;
    if (width <= 0 || height <= 0) {
        const WaylandOutput* output = surface->output != nullptr ? surface->output : waylandFirstOutput();
        width = output != nullptr && output->width > 0 ? output->width : surface->width;
        height = output != nullptr && output->height > 0 ? output->height : surface->height;
    }
    applySize(*surface, width, height);
    waylandUpdatePaintHolds();
}

const xdg_surface_listener xdgSurfaceListener = {onXdgSurfaceConfigure};

void onToplevelConfigure(void*, xdg_toplevel*, std::int32_t width, std::int32_t height, wl_array*) {
    pendingToplevelSize = {width, height};
}

// The full-screen stand-in closes itself.
void onToplevelClose(void* data, xdg_toplevel*) {
    platformPostMessage(waylandHandleOf(*static_cast<WaylandWindow*>(data)), WM_CLOSE, 0, 0);
}

const xdg_toplevel_listener toplevelListener = {onToplevelConfigure, onToplevelClose, nullptr, nullptr};  // later versions: not bound

// An empty region: no part of the saver's surface lets input through, and an empty
// opaque region is not given (the picture is opaque, the compositor may assume so).
void makeLayerSurface(WaylandOutput& output) {
    WaylandSurface& saver = output.saver;
    saver = WaylandSurface{};
    output.remakeSaver = false;
    saver.surface = wl_compositor_create_surface(wayland.compositor);
    waylandPrepareSurface(saver, &output);
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
    waylandPrepareSurface(own, waylandFirstOutput());
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

void waylandOutputRemoved(WaylandOutput& output) {
    waylandReleaseSurface(output.saver);
    waylandForgetOutput(output);
    waylandUpdatePaintHolds();
}

// A new scale or size of an output reaches the surfaces on it.
void waylandOutputChanged(WaylandOutput& output) {
    if (output.saver.configured) waylandFitBuffer(output.saver);
    waylandRefitSurfacesOn(output);
}

void waylandRemakeClosedSurfaces() {
    if (waylandFullScreenWindow() == nullptr || wayland.layerShell == nullptr) return;
    for (WaylandOutput& output : waylandOutputs) {
        if (!output.inUse || !output.remakeSaver || output.saver.surface != nullptr) continue;
        if (std::int32_t(platformTickCount() - output.remakeAt) < 0) continue;
        makeLayerSurface(output);
    }
}

void waylandReleaseSurface(WaylandSurface& surface) {
    waylandEglDetach(surface);
    waylandReleaseSurfaceParts(surface);
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
