// Another client that takes the keyboard from the saver, for the Wayland end-to-end cases:
//
//   orvel-wayland-focus
//
// It makes a small layer surface in the overlay layer that asks for the keyboard
// exclusively, commits it without a picture and prints "ready". On SIGUSR1 it maps the
// surface, waits until the keyboard enters it, prints "focused", and keeps it until it
// is ended. sway 1.7 gives the keyboard to the oldest mapped surface of that kind, so a
// surface made before the saver's and mapped while the saver runs takes it.
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/wayland/layer_shell_client.h"

namespace {

constexpr int SIZE = 64;

wl_compositor* compositor = nullptr;
wl_shm* shm = nullptr;
wl_seat* seat = nullptr;
zwlr_layer_shell_v1* layerShell = nullptr;
bool configured = false;
bool focused = false;

void onGlobal(void*, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
    auto bind = [&](const wl_interface& type) { return wl_registry_bind(registry, name, &type, 1); };
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        compositor = static_cast<wl_compositor*>(bind(wl_compositor_interface));
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        shm = static_cast<wl_shm*>(bind(wl_shm_interface));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && seat == nullptr) {
        seat = static_cast<wl_seat*>(bind(wl_seat_interface));
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        layerShell = static_cast<zwlr_layer_shell_v1*>(bind(zwlr_layer_shell_v1_interface));
    }
}
void onGlobalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener registryListener = {onGlobal, onGlobalRemove};

void onConfigure(void*, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t, std::uint32_t) {
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    configured = true;
}
void onClosed(void*, zwlr_layer_surface_v1*) {}
const zwlr_layer_surface_v1_listener layerListener = {onConfigure, onClosed};

void onKeymap(void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t) { close(fd); }
void onEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) { focused = true; }
void onLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
void onKey(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
void onModifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
void onRepeat(void*, wl_keyboard*, std::int32_t, std::int32_t) {}
const wl_keyboard_listener keyboardListener = {onKeymap, onEnter, onLeave, onKey, onModifiers, onRepeat};

// A black picture of SIZE x SIZE: a fresh memory file reads as zeros.
wl_buffer* blackBuffer() {
    const int bytes = SIZE * SIZE * 4;
    const int fd = memfd_create("orvel-wayland-focus", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, bytes) != 0) return nullptr;
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, bytes);
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, SIZE, SIZE, SIZE * 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

}  // namespace

int main() {
    sigset_t go;
    sigemptyset(&go);
    sigaddset(&go, SIGUSR1);
    sigprocmask(SIG_BLOCK, &go, nullptr);

    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return 1;
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (compositor == nullptr || shm == nullptr || seat == nullptr || layerShell == nullptr) {
        std::fprintf(stderr, "orvel-wayland-focus: the compositor lacks a global it needs\n");
        return 1;
    }
    wl_keyboard_add_listener(wl_seat_get_keyboard(seat), &keyboardListener, nullptr);
    wl_surface* surface = wl_compositor_create_surface(compositor);
    zwlr_layer_surface_v1* layer = zwlr_layer_shell_v1_get_layer_surface(
        layerShell, surface, nullptr, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "orvel-wayland-focus");
    zwlr_layer_surface_v1_add_listener(layer, &layerListener, nullptr);
    zwlr_layer_surface_v1_set_size(layer, SIZE, SIZE);
    zwlr_layer_surface_v1_set_keyboard_interactivity(layer, 1);
    wl_surface_commit(surface);
    while (!configured && wl_display_dispatch(display) >= 0) {
    }
    std::printf("ready\n");
    std::fflush(stdout);

    int signal = 0;
    sigwait(&go, &signal);
    wl_surface_attach(surface, blackBuffer(), 0, 0);
    wl_surface_commit(surface);
    while (!focused && wl_display_dispatch(display) >= 0) {
    }
    if (!focused) return 1;
    std::printf("focused\n");
    std::fflush(stdout);
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
