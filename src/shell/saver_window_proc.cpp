// The program's own window procedure: creation reads the setting, starts the 20 ms timer,
// takes the colour depth and builds the scene; every paint runs one frame and leaves the
// window needing paint, so frames follow each other as soon as nothing else waits; every
// tick only asks for paint again; destruction stops the timer.
#include "frame/frame_driver.h"
#include "frame/scene_setup.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/window_system.h"
#include "saver/saver_state.h"
#include "saver/settings.h"
#include "shell/window_procs.h"

std::uintptr_t timerId = 0;

namespace {

constexpr std::uintptr_t FRAME_TIMER_ID = 1;
constexpr std::uint32_t FRAME_TIMER_MS = 20;

LRESULT onCreate(WindowHandle window) {
    lowDetail = std::uint8_t(readLowSetting() & 1);
    timerId = platformSetTimer(window, FRAME_TIMER_ID, FRAME_TIMER_MS);
    DeviceContext dc = platformGetDC(window);
    colorBits = platformColorDepth(dc);
    platformReleaseDC(window, dc);
    setupScene(window);
    return 1;
}

LRESULT onDestroy(WindowHandle window) {
    platformKillTimer(window, timerId);
    return 0;
}

// Never validates: the window keeps needing paint.
LRESULT onPaint(WindowHandle window) {
    runFrame(window);
    return 0;
}

LRESULT onTimer(WindowHandle window) {
    platformInvalidateRect(window);
    return 1;
}

}  // namespace

LRESULT saverWindowProc(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return onCreate(window);
        case WM_DESTROY:
            return onDestroy(window);
        case WM_PAINT:
            return onPaint(window);
        case WM_TIMER:
            return onTimer(window);
        default:
            return defaultSaverProc(window, message, wParam, lParam);
    }
}
