#include "headless_scene.h"

#include "platform/common/embedded_resources.h"
#include "platform/gl_binding.h"
#include "saver/saver_state.h"
#include "frame/scene_setup.h"
#include "platform/headless/headless.h"
#include "platform/instance.h"

WindowHandle startHeadlessScene(int width, int height, bool low) {
    lowDetail = low ? 1 : 0;
    colorBits = 32;
    instanceHandle = &orvelResources;
    WindowHandle window = headlessCreateWindow(width, height);
    if (window == nullptr) {
        return nullptr;
    }
    setupScene(window);
    return headlessGlContextIsCurrent() ? window : nullptr;
}

std::uint32_t virtualTick(std::int64_t k, int fps) { return std::uint32_t(k * 1000 / fps); }
