// The compositor's outputs (monitors) as the program follows them: each one's place and
// size in the compositor's logical space (from xdg-output where the compositor offers it,
// else from wl_output's position and mode), its pixels, its integer scale and its name.
// An output that appears while the full-screen saver runs gets its surface at once; one
// that changes its scale has the buffers on it made again at the new density.
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

#include "platform/wayland/wayland.h"
#include "platform/wayland/xdg_output_client.h"

namespace {

void keepLabel(WaylandOutput& output, const char* name) {
    if (name != nullptr) std::snprintf(output.label, sizeof output.label, "%s", name);
}

// Without xdg-output, the logical size is the mode's pixels over the scale.
void deriveLogicalSize(WaylandOutput& output) {
    if (output.logicalKnown || output.scale <= 0) return;
    output.width = output.pixelWidth / output.scale;
    output.height = output.pixelHeight / output.scale;
}

void onGeometry(void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t, std::int32_t,
                const char*, const char*, std::int32_t) {
    auto* output = static_cast<WaylandOutput*>(data);
    if (output->logicalKnown) return;
    output->x = x;
    output->y = y;
}

void onMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height, std::int32_t) {
    if ((flags & WL_OUTPUT_MODE_CURRENT) == 0) return;
    auto* output = static_cast<WaylandOutput*>(data);
    output->pixelWidth = width;
    output->pixelHeight = height;
}

void onDone(void* data, wl_output*) {
    auto* output = static_cast<WaylandOutput*>(data);
    deriveLogicalSize(*output);
    waylandOutputChanged(*output);
}

void onScale(void* data, wl_output*, std::int32_t factor) {
    static_cast<WaylandOutput*>(data)->scale = factor > 0 ? factor : 1;
}

void onName(void* data, wl_output*, const char* name) { keepLabel(*static_cast<WaylandOutput*>(data), name); }
void onDescription(void*, wl_output*, const char*) {}

const wl_output_listener outputListener = {onGeometry, onMode, onDone, onScale, onName, onDescription};

void onXdgOutputPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
    auto* output = static_cast<WaylandOutput*>(data);
    output->logicalKnown = true;
    output->x = x;
    output->y = y;
}

void onXdgOutputSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
    auto* output = static_cast<WaylandOutput*>(data);
    output->logicalKnown = true;
    output->width = width;
    output->height = height;
}

void onXdgOutputDone(void* data, zxdg_output_v1*) { waylandOutputChanged(*static_cast<WaylandOutput*>(data)); }

void onXdgOutputName(void* data, zxdg_output_v1*, const char* name) {
    auto* output = static_cast<WaylandOutput*>(data);
    if (output->label[0] == '\0') keepLabel(*output, name);
}

void onXdgOutputDescription(void*, zxdg_output_v1*, const char*) {}

const zxdg_output_v1_listener xdgOutputListener = {onXdgOutputPosition, onXdgOutputSize, onXdgOutputDone,
                                                   onXdgOutputName, onXdgOutputDescription};

}  // namespace

WaylandOutput waylandOutputs[OUTPUT_CAPACITY];

void waylandWatchOutputPlace(WaylandOutput& output) {
    if (wayland.outputManager == nullptr || output.xdgOutput != nullptr) return;
    output.xdgOutput = zxdg_output_manager_v1_get_xdg_output(wayland.outputManager, output.output);
    zxdg_output_v1_add_listener(output.xdgOutput, &xdgOutputListener, &output);
}

void waylandAddOutput(wl_registry* registry, std::uint32_t name, std::uint32_t version) {
    for (WaylandOutput& output : waylandOutputs) {
        if (output.inUse) continue;
        output = WaylandOutput{};
        output.inUse = true;
        output.name = name;
        output.scale = 1;
        output.output = static_cast<wl_output*>(
            wl_registry_bind(registry, name, &wl_output_interface, version < 4 ? version : 4));
        wl_output_add_listener(output.output, &outputListener, &output);
        waylandWatchOutputPlace(output);
        waylandOutputAdded(output);
        return;
    }
}

void waylandRemoveOutput(std::uint32_t name) {
    for (WaylandOutput& output : waylandOutputs) {
        if (!output.inUse || output.name != name) continue;
        waylandOutputRemoved(output);
        if (output.xdgOutput != nullptr) zxdg_output_v1_destroy(output.xdgOutput);
        if (wl_output_get_version(output.output) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
            wl_output_release(output.output);
        } else {
            wl_output_destroy(output.output);
        }
        output = WaylandOutput{};
    }
}

WaylandOutput* waylandOutputOf(wl_output* handle) {
    for (WaylandOutput& output : waylandOutputs) {
        if (output.inUse && output.output == handle) return &output;
    }
    return nullptr;
}

WaylandOutput* waylandFirstOutput() { return waylandFirstOutputBut(nullptr); }

WaylandOutput* waylandFirstOutputBut(const WaylandOutput* other) {
    for (WaylandOutput& output : waylandOutputs) {
        if (output.inUse && &output != other) return &output;
    }
    return nullptr;
}
