// A small compositor for the Wayland end-to-end cases that no real compositor here can
// play: it shows nothing, but offers what the saver binds (wl_compositor, wl_shm, one
// wl_output per size given, a wl_seat with touch, xdg_wm_base and the layer shell) and
// reports what the saver commits.
//
//   orvel-wayland-compositor [--no-layer-shell] [--zero-configure] [--hold-frames N]
//                            [WxH ...]
//
// --zero-configure answers a toplevel with a configure of 0 x 0 ("the client picks");
// --hold-frames N never answers the frame callbacks of surfaces on output N (1-based).
// Outputs lie side by side, 640x480 when none is given. It prints, a line each:
//   ready SOCKET                        once clients can connect
//   surface ID layer|toplevel OUTPUT    a surface takes a role
//   commit ID WxH SUM lit|black         a buffer committed (SUM: a digest of its pixels)
//   closed ID                           a layer surface was sent closed
//   fullscreen ID                       a toplevel asks to be full screen
// and reads commands on standard input: "touch" (a touch-down and up in the middle of
// the newest surface with a role), "close" (closes every layer surface).
#include <unistd.h>
#include <wayland-server.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "layer_shell_server.h"
#include "test_compositor.h"
#include "xdg_shell_server.h"

wl_display* display;
std::vector<Output> outputs;
std::vector<std::unique_ptr<Surface>> surfaces;
int heldOutput = -1;
bool zeroConfigure = false;

namespace {

std::vector<wl_resource*> touches;
wl_event_source* tick;

int seatRequest(const void*, void* target, std::uint32_t, const wl_message* message, wl_argument* args) {
    auto* seat = static_cast<wl_resource*>(target);
    const int version = wl_resource_get_version(seat);
    if (is(message, "get_touch")) {
        wl_resource* touch = wl_resource_create(wl_resource_get_client(seat), &wl_touch_interface, version, args[0].n);
        wl_resource_set_dispatcher(touch, ignoreRequest, nullptr, nullptr, [](wl_resource* r) {
            for (auto it = touches.begin(); it != touches.end(); ++it) {
                if (*it == r) {
                    touches.erase(it);
                    return;
                }
            }
        });
        touches.push_back(touch);
    } else if (is(message, "get_pointer") || is(message, "get_keyboard")) {
        wl_resource* r = wl_resource_create(wl_resource_get_client(seat),
                                            is(message, "get_pointer") ? &wl_pointer_interface : &wl_keyboard_interface,
                                            version, args[0].n);
        wl_resource_set_dispatcher(r, ignoreRequest, nullptr, nullptr, nullptr);
    } else if (is(message, "release")) {
        wl_resource_destroy(seat);
    }
    return 0;
}

template <int (*Dispatch)(const void*, void*, std::uint32_t, const wl_message*, wl_argument*)>
wl_resource* bindWith(wl_client* client, void* data, std::uint32_t version, std::uint32_t id, const wl_interface* interface) {
    wl_resource* r = wl_resource_create(client, interface, int(version), id);
    wl_resource_set_dispatcher(r, Dispatch, nullptr, data, nullptr);
    return r;
}

void bindOutput(wl_client* client, void* data, std::uint32_t version, std::uint32_t id) {
    wl_resource* r = wl_resource_create(client, &wl_output_interface, int(version), id);
    wl_resource_set_dispatcher(r, ignoreRequest, nullptr, data, nullptr);
    const int index = int(reinterpret_cast<std::intptr_t>(data));
    const Output& o = outputs[std::size_t(index)];
    wl_output_send_geometry(r, o.x, 0, 0, 0, WL_OUTPUT_SUBPIXEL_UNKNOWN, "orvel", "test", WL_OUTPUT_TRANSFORM_NORMAL);
    wl_output_send_mode(r, WL_OUTPUT_MODE_CURRENT | WL_OUTPUT_MODE_PREFERRED, o.width, o.height, 60000);
    if (version >= 2) wl_output_send_scale(r, 1);
    if (version >= 4) {
        char name[24];
        std::snprintf(name, sizeof name, "TEST-%d", index + 1);
        wl_output_send_name(r, name);
    }
    if (version >= 2) wl_output_send_done(r);
}

void bindSeat(wl_client* client, void* data, std::uint32_t version, std::uint32_t id) {
    wl_resource* r = bindWith<seatRequest>(client, data, version, id, &wl_seat_interface);
    wl_seat_send_capabilities(r, WL_SEAT_CAPABILITY_TOUCH);
    if (version >= 2) wl_seat_send_name(r, "seat0");
}

// Every 16 ms the surfaces on outputs that are not held hear that their frame is due.
int frameTick(void*) {
    sendDueFrames();
    wl_event_source_timer_update(tick, 16);
    return 0;
}

void touchNewest() {
    for (auto it = surfaces.rbegin(); it != surfaces.rend(); ++it) {
        Surface& s = **it;
        if (s.role == nullptr) continue;
        const Output& o = outputs[std::size_t(s.output)];
        const wl_fixed_t x = wl_fixed_from_int(o.width / 2), y = wl_fixed_from_int(o.height / 2);
        for (wl_resource* t : touches) {
            if (wl_resource_get_client(t) != wl_resource_get_client(s.resource)) continue;
            wl_touch_send_down(t, wl_display_next_serial(display), milliseconds(), s.resource, 0, x, y);
            wl_touch_send_frame(t);
            wl_touch_send_up(t, wl_display_next_serial(display), milliseconds(), 0);
            wl_touch_send_frame(t);
        }
        return;
    }
}

int commandArrived(int fd, std::uint32_t, void*) {
    static char line[256];
    static std::size_t used = 0;
    const ssize_t got = read(fd, line + used, sizeof line - 1 - used);
    if (got <= 0) {
        wl_display_terminate(display);
        return 0;
    }
    used += std::size_t(got);
    char* end;
    while ((end = static_cast<char*>(std::memchr(line, '\n', used))) != nullptr) {
        *end = '\0';
        if (std::strcmp(line, "touch") == 0) touchNewest();
        if (std::strcmp(line, "close") == 0) closeLayerSurfaces();
        used -= std::size_t(end + 1 - line);
        std::memmove(line, end + 1, used);
    }
    if (used == sizeof line - 1) used = 0;
    wl_display_flush_clients(display);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    bool layerShell = true;
    for (int i = 1; i < argc; ++i) {
        int w = 0, h = 0;
        if (std::strcmp(argv[i], "--no-layer-shell") == 0) {
            layerShell = false;
        } else if (std::strcmp(argv[i], "--zero-configure") == 0) {
            zeroConfigure = true;
        } else if (std::strcmp(argv[i], "--hold-frames") == 0 && i + 1 < argc) {
            heldOutput = std::atoi(argv[++i]) - 1;
        } else if (std::sscanf(argv[i], "%dx%d", &w, &h) == 2 && w > 0 && h > 0) {
            outputs.push_back({outputs.empty() ? 0 : outputs.back().x + outputs.back().width, w, h});
        } else {
            std::fprintf(stderr, "usage: orvel-wayland-compositor [--no-layer-shell] [--zero-configure] "
                                 "[--hold-frames N] [WxH ...]\n");
            return 2;
        }
    }
    if (outputs.empty()) outputs.push_back({0, 640, 480});
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    display = wl_display_create();
    const char* socket = wl_display_add_socket_auto(display);
    if (socket == nullptr) {
        std::fprintf(stderr, "orvel-wayland-compositor: no socket in XDG_RUNTIME_DIR\n");
        return 1;
    }
    wl_display_init_shm(display);
    wl_global_create(display, &wl_compositor_interface, 4, nullptr,
                     [](wl_client* c, void* d, std::uint32_t v, std::uint32_t id) {
                         bindWith<compositorRequest>(c, d, v, id, &wl_compositor_interface);
                     });
    wl_global_create(display, &xdg_wm_base_interface, 2, nullptr,
                     [](wl_client* c, void* d, std::uint32_t v, std::uint32_t id) {
                         bindWith<shellRequest>(c, d, v, id, &xdg_wm_base_interface);
                     });
    if (layerShell) {
        wl_global_create(display, &zwlr_layer_shell_v1_interface, 1, nullptr,
                         [](wl_client* c, void* d, std::uint32_t v, std::uint32_t id) {
                             bindWith<shellRequest>(c, d, v, id, &zwlr_layer_shell_v1_interface);
                         });
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        wl_global_create(display, &wl_output_interface, 4, reinterpret_cast<void*>(std::intptr_t(i)), bindOutput);
    }
    wl_global_create(display, &wl_seat_interface, 5, nullptr, bindSeat);

    wl_event_loop* loop = wl_display_get_event_loop(display);
    tick = wl_event_loop_add_timer(loop, frameTick, nullptr);
    wl_event_source_timer_update(tick, 16);
    wl_event_loop_add_fd(loop, STDIN_FILENO, WL_EVENT_READABLE, commandArrived, nullptr);

    std::printf("ready %s\n", socket);
    wl_display_run(display);
    wl_display_destroy_clients(display);
    wl_display_destroy(display);
    return 0;
}
