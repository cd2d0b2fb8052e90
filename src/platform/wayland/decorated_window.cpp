// The window mode's window with a title bar and a close button, as every desktop gives
// an ordinary window. libdecor makes the xdg surface and toplevel on the window's
// surface and asks the compositor for server-side decorations where it offers
// xdg-decoration (sway, KDE Plasma); where it does not (GNOME, weston) libdecor's plugin
// draws them on subsurfaces of its own around the picture. Either way the window's own
// surface holds only the picture, at the content size each configure gives.
#include <libdecor.h>
#include <wayland-client.h>

#include <cstdio>

#include "platform/wayland/wayland.h"

namespace {

constexpr int FRAME_CAPACITY = 4;
constexpr int SETUP_ROUNDTRIPS = 4;  // globals, the plugin's own, the toplevel, its configure

struct DecoratedWindow {
    WaylandWindow* window;  // null: a free slot
    libdecor_frame* frame;
};

libdecor* decorations = nullptr;
DecoratedWindow decorated[FRAME_CAPACITY];

void onError(libdecor*, libdecor_error, const char* message) {
    std::fprintf(stderr, "orvel: window decorations: %s\n", message);
}

// libdecor's interfaces end in reserved members, left null.
libdecor_interface contextInterface() {
    libdecor_interface calls{};
    calls.error = onError;
    return calls;
}
libdecor_interface contextCalls = contextInterface();

// A configure without a content size (the first one, or one that leaves the size to the
// client) keeps the window's own size.
void onConfigure(libdecor_frame* frame, libdecor_configuration* configuration, void* data) {
    WaylandSurface& own = static_cast<WaylandWindow*>(data)->own;
    int width = 0;
    int height = 0;
    if (!libdecor_configuration_get_content_size(configuration, frame, &width, &height) || width <= 0 ||
        height <= 0) {
        width = own.width;
        height = own.height;
    }
    libdecor_state* state = libdecor_state_new(width, height);
    libdecor_frame_commit(frame, state, configuration);
    libdecor_state_free(state);

    own.configured = true;
    own.width = width;
    own.height = height;
    waylandFitBuffer(own);
    waylandUpdatePaintHolds();
}

void onClose(libdecor_frame*, void* data) { waylandCloseChildrenOf(*static_cast<WaylandWindow*>(data)); }

void onCommit(libdecor_frame*, void* data) { wl_surface_commit(static_cast<WaylandWindow*>(data)->own.surface); }

void onDismissPopup(libdecor_frame*, const char*, void*) {}

libdecor_frame_interface frameInterface() {
    libdecor_frame_interface calls{};
    calls.configure = onConfigure;
    calls.close = onClose;
    calls.commit = onCommit;
    calls.dismiss_popup = onDismissPopup;
    return calls;
}
libdecor_frame_interface frameCalls = frameInterface();

DecoratedWindow* freeSlot() {
    for (DecoratedWindow& slot : decorated) {
        if (slot.window == nullptr) return &slot;
    }
    return nullptr;
}

}  // namespace

bool waylandDecoratedToplevel(WaylandWindow& window, const char* title) {
    DecoratedWindow* slot = freeSlot();
    if (decorations == nullptr) decorations = libdecor_new(wayland.display, &contextCalls);
    if (slot == nullptr || decorations == nullptr) return false;
    WaylandSurface& own = window.own;
    own.surface = wl_compositor_create_surface(wayland.compositor);
    waylandPrepareSurface(own, waylandFirstOutput());
    libdecor_frame* frame = libdecor_decorate(decorations, own.surface, &frameCalls, &window);
    if (frame == nullptr) {
        wl_surface_destroy(own.surface);
        own.surface = nullptr;
        return false;
    }
    *slot = {&window, frame};
    libdecor_frame_set_title(frame, title);
    libdecor_frame_set_app_id(frame, "orvel");
    libdecor_frame_map(frame);
    for (int i = 0; i < SETUP_ROUNDTRIPS && !own.configured; ++i) waylandRoundtrip();
    return true;
}

void waylandUndecorate(WaylandSurface& surface) {
    for (DecoratedWindow& slot : decorated) {
        if (slot.window == nullptr || &slot.window->own != &surface) continue;
        libdecor_frame_unref(slot.frame);
        slot = DecoratedWindow{};
    }
}
