// The connection to the Wayland compositor and the globals the program binds: the
// compositor, the layer shell, the xdg shell, the xdg output manager (for the outputs'
// places in the compositor's space), the seat, shared memory (for the black cover), the
// viewporter and fractional scale manager (for outputs of fractional density), and every
// output as it comes and goes (outputs.cpp).
// A compositor that goes away ends the program with its own exit code, so that it can
// never spin on a dead socket.
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/posix/process.h"
#include "platform/wayland/fractional_scale_client.h"
#include "platform/wayland/layer_shell_client.h"
#include "platform/wayland/viewporter_client.h"
#include "platform/wayland/wayland.h"
#include "platform/wayland/xdg_output_client.h"
#include "platform/wayland/xdg_shell_client.h"

namespace {

constexpr int LOST_COMPOSITOR_EXIT_CODE = 2;

bool openTried = false;
wl_registry* registry = nullptr;

void onPing(void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); }
const xdg_wm_base_listener wmBaseListener = {onPing};

void onSeatCapabilities(void*, wl_seat*, std::uint32_t capabilities) { waylandSeatCapabilities(capabilities); }
void onSeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener seatListener = {onSeatCapabilities, onSeatName};

void onGlobal(void*, wl_registry*, std::uint32_t name, const char* interface, std::uint32_t version) {
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        // Version 3 for the buffer scale.
        wayland.compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, version < 4 ? version : 4));
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        wayland.layerShell =
            static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
        wayland.wmBase = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(wayland.wmBase, &wmBaseListener, nullptr);
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        wayland.outputManager = static_cast<zxdg_output_manager_v1*>(
            wl_registry_bind(registry, name, &zxdg_output_manager_v1_interface, version < 2 ? version : 2));
        for (WaylandOutput& output : waylandOutputs) {
            if (output.inUse) waylandWatchOutputPlace(output);
        }
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && wayland.seat == nullptr) {
        wayland.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        wl_seat_add_listener(wayland.seat, &seatListener, nullptr);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        waylandAddOutput(registry, name, version);
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        wayland.shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0) {
        wayland.viewporter = static_cast<wp_viewporter*>(wl_registry_bind(registry, name, &wp_viewporter_interface, 1));
    } else if (std::strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0) {
        wayland.fractionalScale = static_cast<wp_fractional_scale_manager_v1*>(
            wl_registry_bind(registry, name, &wp_fractional_scale_manager_v1_interface, 1));
    }
}

void onGlobalRemove(void*, wl_registry*, std::uint32_t name) { waylandRemoveOutput(name); }

const wl_registry_listener registryListener = {onGlobal, onGlobalRemove};

}  // namespace

WaylandGlobals wayland{};

wl_display* waylandDisplay() {
    if (openTried) return wayland.display;
    openTried = true;
    const char* name = std::getenv("WAYLAND_DISPLAY");
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "orvel: cannot reach a Wayland compositor at \"%s\"\n",
                     name != nullptr && name[0] != '\0' ? name : "wayland-0");
        return nullptr;
    }
    wayland.display = display;
    registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    // The globals, then what binding them brought (the outputs' places, the seat).
    waylandRoundtrip();
    waylandRoundtrip();
    if (wayland.compositor == nullptr) {
        std::fprintf(stderr, "orvel: the Wayland compositor offers no wl_compositor\n");
        wl_display_disconnect(display);
        wayland = WaylandGlobals{};
        return nullptr;
    }
    return display;
}

void waylandLostCompositor() {
    std::fprintf(stderr, "orvel: lost the connection to the Wayland compositor; ending with exit code %d\n",
                 LOST_COMPOSITOR_EXIT_CODE);
    posixWriteStats();
    std::fflush(nullptr);
    std::_Exit(LOST_COMPOSITOR_EXIT_CODE);
}

void waylandRoundtrip() {
    if (wayland.display != nullptr && wl_display_roundtrip(wayland.display) < 0) waylandLostCompositor();
}
