// The shell's two window procedures around the program's own: shellWindowProc first,
// defaultSaverProc for whatever the program leaves.
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/system_services.h"
#include "platform/window_system.h"
#include "shell/dismissal.h"
#include "shell/password.h"
#include "shell/shell_state.h"
#include "shell/window_procs.h"

namespace {

// Detaches the window from input methods when the process already has the library.
void detachInputMethods(WindowHandle window) {
    immLibrary = platformLoadedModule("IMM32.DLL");
    if (immLibrary == nullptr) return;
    immAssociateContextFn =
        reinterpret_cast<ImmAssociateContextFn>(platformGetProcAddress(immLibrary, "ImmAssociateContext"));
    if (immAssociateContextFn != nullptr) savedInputContext = immAssociateContextFn(window, nullptr);
}

void restoreInputMethods(WindowHandle window) {
    if (immLibrary != nullptr && immAssociateContextFn != nullptr && savedInputContext != nullptr) {
        immAssociateContextFn(window, savedInputContext);
    }
}

// Help requests of the preview go to the display settings that host it.
LRESULT forwardHelpToParent(WindowHandle window, std::uint32_t message, LPARAM lParam) {
    WindowHandle parent = platformGetParent(window);
    if (parent != nullptr && platformIsWindow(parent)) {
        platformPostMessage(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
    }
    return 1;
}

bool isDroppedSystemCommand(WPARAM command) {
    return command == SC_NEXTWINDOW || command == SC_PREVWINDOW || command == SC_SCREENSAVE;
}

}  // namespace

LRESULT shellWindowProc(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            detachInputMethods(window);
            lastCursorPos = platformGetCursorPos();
            if (!previewMode) platformHideCursor();
            break;
        case WM_DESTROY:
            restoreInputMethods(window);
            platformPostQuitMessage(0);
            break;
        case WM_SETTEXT:
            return 0;
        case WM_PAINT:
            if (closeApproved) return platformDefWindowProc(window, message, wParam, lParam);
            if (!previewMode) platformHideCursor();
            break;
        case WM_HELP:
        case WM_CONTEXTMENU:
            if (previewMode) return forwardHelpToParent(window, message, lParam);
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (closeApproved) return platformDefWindowProc(window, message, wParam, lParam);
            break;
        case WM_SYSCOMMAND:
            if (!previewMode && isDroppedSystemCommand(wParam)) return 0;
            break;
        case WM_TIMER:
            if (closeApproved) return 0;
            platformSleep(0);
            break;
        default:
            break;
    }
    return saverWindowProc(window, message, wParam, lParam);
}

LRESULT defaultSaverProc(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    DismissalInput input{message, wParam, lParam, lastCursorPos, lastCursorPos, previewMode != 0, closeApproved != 0,
                         checkingPassword != 0, isWin9x != 0, verifyPasswordFn != nullptr,
                         queryCancelAutoPlayMessage};
    // The cursor's screen position, not lParam's client coordinates, measures travel.
    if (message == WM_MOUSEMOVE) input.cursor = platformGetCursorPos();
    const DismissalDecision decision = decideDismissal(input);
    lastCursorPos = decision.reference;
    if (decision.hideCursor) platformHideCursor();
    if (decision.postClose) platformPostMessage(window, WM_CLOSE, 0, 0);
    switch (decision.step) {
        case DismissalStep::Return:
            return decision.result;
        case DismissalStep::RunVerifier:
            return verifyPasswordFn(window);
        case DismissalStep::CheckPassword:
            if (verifyPassword(window) == 0) {
                // Refused: the saver goes on, with a fresh start for cursor travel.
                lastCursorPos = platformGetCursorPos();
                return 0;
            }
            break;
        case DismissalStep::DefaultProcessing:
            break;
    }
    return platformDefWindowProc(window, message, wParam, lParam);
}
