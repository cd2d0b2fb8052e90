#include "shell/saver_window.h"

#include "platform/instance.h"
#include "platform/messages.h"
#include "platform/window_system.h"
#include "shell/password.h"
#include "shell/shell_state.h"
#include "shell/window_procs.h"

namespace {

constexpr char CLASS_NAME[] = "WindowsScreenSaverClass";
constexpr char SAVER_TITLE[] = "Screen Saver";
constexpr char PREVIEW_TITLE[] = "Preview";
constexpr int CLASS_ICON = 100;  // the program has no icon 100, so the class has none

WindowRequest previewWindow(WindowHandle parent) {
    const ScreenRect client = platformClientRect(parent);
    return {0,
            CLASS_NAME,
            PREVIEW_TITLE,
            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
            0,
            0,
            client.right,
            client.bottom,
            parent,
            instanceHandle};
}

WindowRequest fullScreenWindow() {
    const ScreenRect screen = platformScreenRect();
    return {WS_EX_TOPMOST,
            CLASS_NAME,
            SAVER_TITLE,
            WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
            screen.left,
            screen.top,
            screen.right - screen.left,
            screen.bottom - screen.top,
            nullptr,
            instanceHandle};
}

}  // namespace

std::int32_t runMessageLoop() {
    QueuedMessage message{};
    int got = 0;
    // -1 is a failure, not a message: the loop must not spin on it.
    while ((got = platformGetMessage(message)) > 0) {
        platformTranslateMessage(message);
        platformDispatchMessage(message);
    }
    return got == 0 ? std::int32_t(message.wParam) : -1;
}

std::int32_t runSaverWindow(WindowHandle parent) {
    const WindowClassRequest windowClass = {CLASS_NAME, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC,
                                            shellWindowProc, instanceHandle, CLASS_ICON, true};
    WindowRequest request;
    if (parent != nullptr) {
        request = previewWindow(parent);
        previewMode = 1;
    } else {
        request = fullScreenWindow();
        WindowHandle running = platformFindWindow(CLASS_NAME, SAVER_TITLE);
        if (running != nullptr && platformIsWindow(running)) {
            platformSetForegroundWindow(running);
            return 0;
        }
        loadPasswordHook();
    }
    queryCancelAutoPlayMessage = isWin9x ? platformRegisterWindowMessage("QueryCancelAutoPlay") : 0;

    std::int32_t result = -1;
    WindowHandle window = platformRegisterClass(windowClass) ? platformCreateWindow(request) : nullptr;
    if (window != nullptr) {
        if (parent == nullptr) platformSetForegroundWindow(window);
        result = runMessageLoop();
    }
    unloadPasswordHook();
    return result;
}
