// The preview, hosted the way the display settings host it: a window of the driver's own,
// whose number goes on the command line of Orvel.scr /p.
#include <string>

#include "cases.h"
#include "harness.h"

namespace {

int contextMenus = 0;
WPARAM contextMenuWParam = 0;

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CONTEXTMENU) {
        ++contextMenus;
        contextMenuWParam = wParam;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND makeHost() {
    WNDCLASSA host{};
    host.lpfnWndProc = hostProc;
    host.hInstance = GetModuleHandleA(nullptr);
    host.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    host.lpszClassName = "OrvelPreviewHost";
    if (!RegisterClassA(&host)) fail("cannot register the host's class");
    HWND window = CreateWindowExA(0, host.lpszClassName, "Preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                  360, 280, nullptr, nullptr, host.hInstance, nullptr);
    if (window == nullptr) fail("cannot make the host window");
    return window;
}

}  // namespace

void previewCase() {
    HWND host = makeHost();
    const std::string number = std::to_string(reinterpret_cast<std::uintptr_t>(host));
    const Saver saver = startSaver("/p " + number);

    HWND preview = nullptr;
    waitUntil(
        [&] {
            preview = FindWindowExA(host, nullptr, "WindowsScreenSaverClass", "Preview");
            if (preview == nullptr && hasExited(saver)) fail("Orvel.scr /p ended before showing its preview");
            return preview != nullptr;
        },
        30000, "a child \"Preview\" in the host window");
    // Shown once its creation, and so the scene's set-up, is over. Wine 8 shows nothing
    // that a child window of another process draws, so the frames themselves cannot be
    // seen here.
    waitUntil(
        [&] {
            expectNoErrorBox(saver);
            return IsWindowVisible(preview) != FALSE;
        },
        10000, "the preview to be shown");
    note("preview in the host %lu ms after the start", GetTickCount() - saver.startTick);

    RECT hostClient{};
    RECT previewClient{};
    GetClientRect(host, &hostClient);
    GetClientRect(preview, &previewClient);
    if (!EqualRect(&hostClient, &previewClient)) {
        fail("the preview is %ldx%ld, the host's client area %ldx%ld", previewClient.right, previewClient.bottom,
             hostClient.right, hostClient.bottom);
    }
    if ((GetWindowLongA(preview, GWL_STYLE) & (WS_CHILD | WS_VISIBLE)) != (WS_CHILD | WS_VISIBLE)) {
        fail("the preview is not a visible child window");
    }

    // Input that would end the full-screen saver: a key press, a click and a long move.
    // The key goes to the preview itself, since the keyboard's focus stays with the host.
    PostMessageA(preview, WM_KEYDOWN, 'A', 0x001E0001);
    PostMessageA(preview, WM_KEYUP, 'A', LPARAM(0xC01E0001));
    const POINT centre = centreOf(preview);
    clickAt(centre);
    moveCursorTo({centre.x + 40, centre.y + 30});

    // A right-click comes after them in the preview's queue, so by the time the host hears
    // of it, the preview has taken the key and the click.
    clickAt(centre, true);
    waitUntil([] { return contextMenus > 0; }, 10000, "the right-click to reach the host as WM_CONTEXTMENU");
    if (contextMenuWParam != reinterpret_cast<WPARAM>(host)) {
        fail("WM_CONTEXTMENU reached the host with wParam %llx, not the host's handle %llx",
             static_cast<unsigned long long>(contextMenuWParam), static_cast<unsigned long long>(
                                                                     reinterpret_cast<std::uintptr_t>(host)));
    }
    if (hasExited(saver) || !IsWindow(preview)) fail("a key, a click or a move ended the preview");

    DestroyWindow(host);
    const DWORD code = waitForExit(saver, 10000, "Orvel.scr /p to end with its host");
    if (code != 0) fail("Orvel.scr /p ended with %ld after its host was destroyed, not 0", long(code));
}
