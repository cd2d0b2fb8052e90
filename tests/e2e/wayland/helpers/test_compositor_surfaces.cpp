// The test compositor's surfaces: buffers attached and committed (each committed one
// reported, with a digest of its pixels, and released at once), frame callbacks kept
// until the frame tick answers them, and the xdg and layer shell roles with their first
// configure.
#include <time.h>

#include <cstdio>
#include <cstring>

#include "layer_shell_server.h"
#include "test_compositor.h"
#include "xdg_shell_server.h"

namespace {

// An object argument of a request: on the server side, a resource.
wl_resource* resourceArg(const wl_argument& a) { return reinterpret_cast<wl_resource*>(a.o); }

}  // namespace

std::uint32_t milliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint32_t(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

int ignoreRequest(const void*, void* target, std::uint32_t, const wl_message* message, wl_argument*) {
    if (is(message, "destroy") || is(message, "release")) wl_resource_destroy(static_cast<wl_resource*>(target));
    return 0;
}

namespace {

wl_resource* plainResource(wl_resource* parent, const wl_interface* interface, std::uint32_t id) {
    wl_resource* r = wl_resource_create(wl_resource_get_client(parent), interface, 1, id);
    wl_resource_set_dispatcher(r, ignoreRequest, nullptr, nullptr, nullptr);
    return r;
}

int nextSurfaceId = 1;

Surface* surfaceOf(wl_resource* r) { return static_cast<Surface*>(wl_resource_get_user_data(r)); }

void forgetCallback(wl_resource* callback) {
    for (auto& s : surfaces) {
        for (auto* list : {&s->pendingFrames, &s->frames}) {
            for (auto it = list->begin(); it != list->end(); ++it) {
                if (*it == callback) {
                    list->erase(it);
                    return;
                }
            }
        }
    }
}

void sendConfigure(Surface& s) {
    const Output& o = outputs[std::size_t(s.output)];
    const std::uint32_t serial = wl_display_next_serial(display);
    if (s.toplevel != nullptr) {
        wl_array states;
        wl_array_init(&states);
        *static_cast<std::uint32_t*>(wl_array_add(&states, sizeof(std::uint32_t))) = XDG_TOPLEVEL_STATE_FULLSCREEN;
        xdg_toplevel_send_configure(s.toplevel, zeroConfigure ? 0 : o.width, zeroConfigure ? 0 : o.height, &states);
        wl_array_release(&states);
        xdg_surface_send_configure(s.role, serial);
    } else {
        zwlr_layer_surface_v1_send_configure(s.role, serial, std::uint32_t(o.width), std::uint32_t(o.height));
    }
    s.configured = true;
}

// A digest of the buffer's pixels (alpha left out), and whether any is not black.
void reportCommit(Surface& s, wl_resource* buffer) {
    wl_shm_buffer* shm = wl_shm_buffer_get(buffer);
    if (shm == nullptr) {
        std::printf("commit %d not-shm\n", s.id);
        return;
    }
    const int width = wl_shm_buffer_get_width(shm), height = wl_shm_buffer_get_height(shm);
    const int stride = wl_shm_buffer_get_stride(shm);
    std::uint32_t sum = 2166136261u;
    bool lit = false;
    wl_shm_buffer_begin_access(shm);
    const auto* data = static_cast<const std::uint8_t*>(wl_shm_buffer_get_data(shm));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = row[x] & 0xffffffu;
            lit = lit || pixel != 0;
            sum = (sum ^ pixel) * 16777619u;
        }
    }
    wl_shm_buffer_end_access(shm);
    std::printf("commit %d %dx%d %08x %s\n", s.id, width, height, sum, lit ? "lit" : "black");
}

int surfaceRequest(const void*, void* target, std::uint32_t, const wl_message* message, wl_argument* args) {
    auto* resource = static_cast<wl_resource*>(target);
    Surface& s = *surfaceOf(resource);
    if (is(message, "destroy")) {
        wl_resource_destroy(resource);
    } else if (is(message, "attach")) {
        s.buffer = resourceArg(args[0]);
    } else if (is(message, "frame")) {
        wl_resource* callback = wl_resource_create(wl_resource_get_client(resource), &wl_callback_interface, 1, args[0].n);
        wl_resource_set_implementation(callback, nullptr, nullptr, forgetCallback);
        s.pendingFrames.push_back(callback);
    } else if (is(message, "commit")) {
        s.frames.insert(s.frames.end(), s.pendingFrames.begin(), s.pendingFrames.end());
        s.pendingFrames.clear();
        if (s.role != nullptr && (s.layer || s.toplevel != nullptr) && !s.configured) sendConfigure(s);
        if (s.buffer != nullptr) {
            reportCommit(s, s.buffer);
            wl_buffer_send_release(s.buffer);
            s.buffer = nullptr;
        }
    }
    return 0;
}

void surfaceGone(wl_resource* resource) {
    Surface* s = surfaceOf(resource);
    std::vector<wl_resource*> callbacks = s->pendingFrames;
    callbacks.insert(callbacks.end(), s->frames.begin(), s->frames.end());
    for (wl_resource* c : callbacks) wl_resource_destroy(c);
    for (auto it = surfaces.begin(); it != surfaces.end(); ++it) {
        if (it->get() == s) {
            surfaces.erase(it);
            break;
        }
    }
}

}  // namespace

int compositorRequest(const void*, void* target, std::uint32_t, const wl_message* message, wl_argument* args) {
    auto* parent = static_cast<wl_resource*>(target);
    if (is(message, "create_surface")) {
        auto s = std::make_unique<Surface>();
        s->id = nextSurfaceId++;
        s->resource = wl_resource_create(wl_resource_get_client(parent), &wl_surface_interface,
                                         wl_resource_get_version(parent), args[0].n);
        wl_resource_set_dispatcher(s->resource, surfaceRequest, nullptr, s.get(), surfaceGone);
        surfaces.push_back(std::move(s));
    } else if (is(message, "create_region")) {
        plainResource(parent, &wl_region_interface, args[0].n);
    }
    return 0;
}

namespace {

// Roles: the surface remembers its role object, whose user data is the surface.
void roleGone(wl_resource* resource) {
    for (auto& s : surfaces) {
        if (s->role == resource) s->role = nullptr, s->configured = false, s->layer = false;
        if (s->toplevel == resource) s->toplevel = nullptr;
    }
}

int roleRequest(const void*, void* target, std::uint32_t, const wl_message* message, wl_argument* args) {
    auto* resource = static_cast<wl_resource*>(target);
    if (is(message, "destroy")) {
        wl_resource_destroy(resource);
    } else if (is(message, "get_toplevel")) {
        Surface* s = static_cast<Surface*>(wl_resource_get_user_data(resource));
        s->toplevel = wl_resource_create(wl_resource_get_client(resource), &xdg_toplevel_interface,
                                         wl_resource_get_version(resource), args[0].n);
        wl_resource_set_dispatcher(s->toplevel, roleRequest, nullptr, nullptr, roleGone);
        std::printf("surface %d toplevel %d\n", s->id, s->output + 1);
    } else if (is(message, "set_fullscreen")) {
        for (auto& s : surfaces) {
            if (s->toplevel == resource) std::printf("fullscreen %d\n", s->id);
        }
    }
    return 0;
}

void claimRole(Surface* s, wl_resource* role) {
    s->role = role;
    s->configured = false;
    wl_resource_set_dispatcher(role, roleRequest, nullptr, s, roleGone);
}

int outputIndex(wl_resource* output) {
    return output != nullptr ? int(reinterpret_cast<std::intptr_t>(wl_resource_get_user_data(output))) : 0;
}

}  // namespace

int shellRequest(const void*, void* target, std::uint32_t, const wl_message* message, wl_argument* args) {
    auto* parent = static_cast<wl_resource*>(target);
    wl_client* client = wl_resource_get_client(parent);
    const int version = wl_resource_get_version(parent);
    if (is(message, "destroy")) {
        wl_resource_destroy(parent);
    } else if (is(message, "get_xdg_surface")) {
        claimRole(surfaceOf(resourceArg(args[1])),
                  wl_resource_create(client, &xdg_surface_interface, version, args[0].n));
    } else if (is(message, "get_layer_surface")) {
        Surface* s = surfaceOf(resourceArg(args[1]));
        s->output = outputIndex(resourceArg(args[2]));
        claimRole(s, wl_resource_create(client, &zwlr_layer_surface_v1_interface, version, args[0].n));
        s->layer = true;
        std::printf("surface %d layer %d\n", s->id, s->output + 1);
    } else if (is(message, "create_positioner")) {
        plainResource(parent, &xdg_positioner_interface, args[0].n);
    }
    return 0;
}

void sendDueFrames() {
    const std::uint32_t now = milliseconds();
    for (auto& s : surfaces) {
        if (s->output == heldOutput) continue;
        std::vector<wl_resource*> due;
        due.swap(s->frames);
        for (wl_resource* c : due) {
            wl_callback_send_done(c, now);
            wl_resource_destroy(c);
        }
    }
}

void closeLayerSurfaces() {
    for (auto& s : surfaces) {
        if (s->role == nullptr || !s->layer) continue;
        zwlr_layer_surface_v1_send_closed(s->role);
        std::printf("closed %d\n", s->id);
    }
}
