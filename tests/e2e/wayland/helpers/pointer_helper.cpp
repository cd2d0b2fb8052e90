// A pointer for the Wayland end-to-end cases, driven through wlroots' virtual pointer:
//
//   orvel-wayland-pointer move DX DY | button N | wheel
//
// It joins the seat, gives clients a moment to take the new pointer, nudges it by
// nothing so that the surface under it hears it enter, then does the one thing asked
// and waits until the compositor has handled it. Ends with 0, or 1 when it cannot.
#include <linux/input-event-codes.h>
#include <time.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "virtual_pointer_client.h"

namespace {

wl_seat* seat = nullptr;
zwlr_virtual_pointer_manager_v1* manager = nullptr;

void onGlobal(void*, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && seat == nullptr) {
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    }
}
void onGlobalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener registryListener = {onGlobal, onGlobalRemove};

void pause(long ms) {
    timespec rest{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&rest, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return 1;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (manager == nullptr) {
        std::fprintf(stderr, "orvel-wayland-pointer: no virtual pointer manager\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    wl_display_roundtrip(display);
    pause(500);  // the seat now has a pointer: clients ask for theirs
    zwlr_virtual_pointer_v1_motion(pointer, 0, wl_fixed_from_int(0), wl_fixed_from_int(0));
    zwlr_virtual_pointer_v1_frame(pointer);
    wl_display_roundtrip(display);
    pause(300);
    if (std::strcmp(argv[1], "move") == 0 && argc == 4) {
        zwlr_virtual_pointer_v1_motion(pointer, 1, wl_fixed_from_int(std::atoi(argv[2])),
                                       wl_fixed_from_int(std::atoi(argv[3])));
    } else if (std::strcmp(argv[1], "button") == 0 && argc == 3) {
        const int number = std::atoi(argv[2]);
        const std::uint32_t code = number == 1 ? BTN_LEFT : number == 2 ? BTN_MIDDLE : BTN_RIGHT;
        zwlr_virtual_pointer_v1_button(pointer, 1, code, 1);
        zwlr_virtual_pointer_v1_frame(pointer);
        zwlr_virtual_pointer_v1_button(pointer, 2, code, 0);
    } else if (std::strcmp(argv[1], "wheel") == 0) {
        zwlr_virtual_pointer_v1_axis(pointer, 1, 0, wl_fixed_from_int(10));
    } else {
        return 1;
    }
    zwlr_virtual_pointer_v1_frame(pointer);
    wl_display_roundtrip(display);
    pause(300);  // the device stays until the saver has had the events
    wl_display_disconnect(display);
    return 0;
}
