#pragma once
// The test compositor's shared parts (test_compositor.cpp): its outputs, the surfaces
// the client made, and the requests of the compositor and shell objects.
#include <wayland-server.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

struct Output {
    int x, width, height;
};

struct Surface {
    wl_resource* resource;
    int id;
    int output = 0;                 // index into outputs
    wl_resource* buffer = nullptr;  // attached, not yet committed
    wl_resource* role = nullptr;    // xdg_surface or zwlr_layer_surface_v1
    wl_resource* toplevel = nullptr;
    bool layer = false;
    bool configured = false;
    std::vector<wl_resource*> pendingFrames, frames;
};

extern wl_display* display;
extern std::vector<Output> outputs;
extern std::vector<std::unique_ptr<Surface>> surfaces;
extern int heldOutput;       // its surfaces' frame callbacks are never answered
extern bool zeroConfigure;   // toplevels are configured with 0 x 0

inline bool is(const wl_message* message, const char* name) { return std::strcmp(message->name, name) == 0; }
std::uint32_t milliseconds();
// Every request of an object this compositor keeps no state for: its destructor ends it.
int ignoreRequest(const void*, void* target, std::uint32_t, const wl_message* message, wl_argument*);
// The requests of wl_compositor, and of xdg_wm_base and zwlr_layer_shell_v1.
int compositorRequest(const void*, void* target, std::uint32_t, const wl_message* message, wl_argument* args);
int shellRequest(const void*, void* target, std::uint32_t, const wl_message* message, wl_argument* args);
// Answers the frame callbacks due on every output that is not held.
void sendDueFrames();
// Sends closed to every layer surface.
void closeLayerSurfaces();
