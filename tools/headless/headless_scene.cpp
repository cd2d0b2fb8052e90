#include "headless_scene.h"

#include "gfx/embedded_resources.h"
#include "gfx/gl_binding.h"
#include "saver/saver_state.h"
#include "scene/scene_setup.h"
#include "shell/headless.h"
#include "shell/instance.h"

WindowHandle startHeadlessScene(int width, int height, bool low) {
    lowDetail = low ? 1 : 0;
    colorBits = 32;
    instanceHandle = &orvelResources;
    WindowHandle window = headlessCreateWindow(width, height);
    if (window == nullptr) {
        return nullptr;
    }
    setupScene(window);
    return glContextIsCurrent() ? window : nullptr;
}

std::uint32_t virtualTick(std::int64_t k, int fps) { return std::uint32_t(k * 1000 / fps); }
