// What each of the program's surfaces needs beside its role: the density of the output
// it is on, the size of its buffer in that output's pixels, the black buffer that covers
// the output from the first commit until the first frame, and the frame callbacks by
// which the compositor says when it wants a new picture.
//
// An integer scale goes to the surface as its buffer scale. Where the compositor offers
// wp_fractional_scale_v1 and wp_viewporter, the surface follows the preferred scale it
// is sent instead: a buffer of the exact pixels, shown at the surface's logical size
// through a viewport, with buffer scale 1.
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "platform/platform.h"
#include "platform/posix/process.h"
#include "platform/wayland/fractional_scale_client.h"
#include "platform/wayland/output_geometry.h"
#include "platform/wayland/viewporter_client.h"
#include "platform/wayland/wayland.h"

namespace {

// A frame callback outstanding for four times as long as the surface's last one took
// marks an output that wants no frames for now: at least 50 ms (three frames at 60 Hz),
// more where the compositor is slow to answer (a loaded machine), never over a second.
constexpr std::uint32_t ASLEEP_AFTER_MS = 50;
constexpr std::uint32_t ASLEEP_AFTER_MAX_MS = 1000;
constexpr std::uint32_t ASLEEP_AFTER_LATENCIES = 4;

std::uint64_t coveredUs = 0;

WaylandSurface* recordOf(wl_surface* surface) {
    WaylandSurface* record = nullptr;
    waylandWindowOfSurface(surface, &record);
    return record;
}

void onEnter(void*, wl_surface* surface, wl_output* handle) {
    WaylandSurface* record = recordOf(surface);
    WaylandOutput* output = waylandOutputOf(handle);
    if (record == nullptr || output == nullptr || record->layer != nullptr) return;
    record->output = output;
    waylandFitBuffer(*record);
}

void onLeave(void*, wl_surface*, wl_output*) {}

const wl_surface_listener surfaceListener = {onEnter, onLeave};

void onPreferredScale(void* data, wp_fractional_scale_v1*, std::uint32_t scale) {
    auto* record = static_cast<WaylandSurface*>(data);
    record->preferredScale = int(scale);
    waylandFitBuffer(*record);
}

const wp_fractional_scale_v1_listener fractionalListener = {onPreferredScale};

void onFrameDone(void* data, wl_callback* callback, std::uint32_t) {
    auto* record = static_cast<WaylandSurface*>(data);
    wl_callback_destroy(callback);
    if (record->frameCallback == callback) {
        record->frameCallback = nullptr;
        record->frameLatency = platformTickCount() - record->frameAskedAt;
    }
    waylandUpdatePaintHolds();
}

const wl_callback_listener frameListener = {onFrameDone};

void onCoverRelease(void* data, wl_buffer* buffer) {
    auto* record = static_cast<WaylandSurface*>(data);
    if (record->cover == buffer) record->cover = nullptr;
    wl_buffer_destroy(buffer);
}

const wl_buffer_listener coverListener = {onCoverRelease};

// A buffer of black pixels: a file of zeros is XRGB black, and a new file is all zeros
// without a byte being written.
wl_buffer* blackBuffer(int width, int height) {
    if (wayland.shm == nullptr || width <= 0 || height <= 0) return nullptr;
    const int stride = width * 4;
    const int size = stride * height;
    const int fd = memfd_create("orvel-cover", MFD_CLOEXEC);
    if (fd < 0) return nullptr;
    wl_buffer* buffer = nullptr;
    if (ftruncate(fd, size) == 0) {
        wl_shm_pool* pool = wl_shm_create_pool(wayland.shm, fd, size);
        buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
        wl_shm_pool_destroy(pool);
    }
    close(fd);
    return buffer;
}

bool everyOutputCovered() {
    for (const WaylandOutput& output : waylandOutputs) {
        if (output.inUse && output.saver.surface != nullptr && !output.saver.covered) {
            return false;
        }
    }
    return true;
}

// Black over the whole surface at once, until the first frame replaces it.
void cover(WaylandSurface& surface) {
    wl_buffer* old = surface.cover;
    surface.cover = blackBuffer(surface.bufferWidth, surface.bufferHeight);
    if (surface.cover == nullptr) return;
    wl_buffer_add_listener(surface.cover, &coverListener, &surface);
    wl_surface_attach(surface.surface, surface.cover, 0, 0);
    wl_surface_damage(surface.surface, 0, 0, surface.width, surface.height);
    wl_surface_commit(surface.surface);
    if (old != nullptr) wl_buffer_destroy(old);
    surface.covered = true;
    if (coveredUs == 0 && everyOutputCovered()) coveredUs = posixMicroseconds();
}

}  // namespace

void waylandPrepareSurface(WaylandSurface& surface, WaylandOutput* output) {
    surface.output = output;
    surface.bufferScale = 1;
    wl_surface_add_listener(surface.surface, &surfaceListener, nullptr);
    if (wayland.fractionalScale != nullptr && wayland.viewporter != nullptr) {
        surface.fractional = wp_fractional_scale_manager_v1_get_fractional_scale(wayland.fractionalScale, surface.surface);
        wp_fractional_scale_v1_add_listener(surface.fractional, &fractionalListener, &surface);
    }
}

void waylandFitBuffer(WaylandSurface& surface) {
    if (surface.surface == nullptr || surface.width <= 0 || surface.height <= 0) return;
    int outputScale = surface.output != nullptr ? surface.output->scale : 1;
    if (wl_surface_get_version(surface.surface) < WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION) outputScale = 1;
    const int preferred = surface.preferredScale;
    const BufferSize size = bufferSizeFor(surface.width, surface.height, outputScale, preferred);
    const int width = size.width;
    const int height = size.height;
    const int scale = size.scale;
    if (preferred > 0) {
        if (surface.viewport == nullptr) surface.viewport = wp_viewporter_get_viewport(wayland.viewporter, surface.surface);
        wp_viewport_set_destination(surface.viewport, surface.width, surface.height);
    }
    const bool changed = width != surface.bufferWidth || height != surface.bufferHeight || scale != surface.bufferScale;
    surface.bufferWidth = width;
    surface.bufferHeight = height;
    if (scale != surface.bufferScale) {
        surface.bufferScale = scale;
        wl_surface_set_buffer_scale(surface.surface, scale);
    }
    // The first commit covers the output; until the rendering context exists, the black
    // follows the surface's size.
    if (!surface.covered || (changed && surface.eglWindow == nullptr)) cover(surface);
    if (surface.eglWindow == nullptr) {
        waylandEglAttach(surface);
    } else if (changed) {
        waylandEglResize(surface);
    }
}

void waylandAskFrame(WaylandSurface& surface) {
    if (surface.frameCallback != nullptr) wl_callback_destroy(surface.frameCallback);
    surface.frameCallback = wl_surface_frame(surface.surface);
    surface.frameAskedAt = platformTickCount();
    wl_callback_add_listener(surface.frameCallback, &frameListener, &surface);
}

bool waylandAwaitsFrame(const WaylandSurface& surface) {
    std::uint32_t patience = surface.frameLatency * ASLEEP_AFTER_LATENCIES;
    if (patience < ASLEEP_AFTER_MS) patience = ASLEEP_AFTER_MS;
    if (patience > ASLEEP_AFTER_MAX_MS) patience = ASLEEP_AFTER_MAX_MS;
    return surface.eglSurface != nullptr && surface.frameCallback != nullptr &&
           platformTickCount() - surface.frameAskedAt < patience;
}

bool waylandWantsFrame(const WaylandSurface& surface) {
    return surface.eglSurface != nullptr && surface.frameCallback == nullptr;
}

void waylandReleaseSurfaceParts(WaylandSurface& surface) {
    if (surface.frameCallback != nullptr) wl_callback_destroy(surface.frameCallback);
    if (surface.cover != nullptr) wl_buffer_destroy(surface.cover);
    if (surface.viewport != nullptr) wp_viewport_destroy(surface.viewport);
    if (surface.fractional != nullptr) wp_fractional_scale_v1_destroy(surface.fractional);
    surface.frameCallback = nullptr;
    surface.cover = nullptr;
    surface.viewport = nullptr;
    surface.fractional = nullptr;
}

std::uint64_t waylandCoveredMicroseconds() { return coveredUs; }
