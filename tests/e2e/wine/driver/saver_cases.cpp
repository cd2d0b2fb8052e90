// The full-screen saver, a second start while one runs, the switches it refuses, and
// the crash guard.
#include "cases.h"
#include "harness.h"

void fullScreenCase() {
    const Saver saver = startSaver("/s");
    HWND window = waitForRunningSaver(saver);

    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (rect.left != 0 || rect.top != 0 || rect.right != width || rect.bottom != height) {
        fail("the saver window covers (%ld, %ld)-(%ld, %ld), not the %dx%d screen", rect.left, rect.top, rect.right,
             rect.bottom, width, height);
    }
    if ((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0) fail("the saver window is not top-most");
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    if ((style & (WS_POPUP | WS_VISIBLE)) != (WS_POPUP | WS_VISIBLE) || (style & WS_CAPTION) != 0) {
        fail("the saver window's style is %08lx, not a visible popup without caption", style);
    }

    // The scene moves below the rate text, and the rate text is drawn in white at the top
    // left.
    const RECT screen = {0, 0, width, height};
    waitForMovingPicture(screen, 60, "the scene to move on the screen");
    const RECT rateText = {20, 20, 140, 40};
    waitUntil(
        [&] {
            int white = 0;
            for (std::uint32_t pixel : captureScreen(rateText)) white += pixel == 0xFFFFFF;
            return white >= 10;
        },
        20000, "the white frame-rate text at the top left");

    pressKey('A');
    expectExitCode(waitForExit(saver, 10000, "Orvel.scr /s to end after a key press"), 0, "Orvel.scr /s");
}

void singleInstanceCase() {
    const Saver first = startSaver("/s");
    HWND window = waitForRunningSaver(first);

    const Saver second = startSaver("/s");
    expectExitCode(waitForExit(second, 20000, "the second Orvel.scr /s to end"), 0, "the second Orvel.scr /s");
    if (hasExited(first)) fail("the first saver ended when the second started");
    if (!IsWindow(window)) fail("the first saver's window is gone");

    // Still running, and still the one in front: the key ends it.
    waitUntil([&] { return GetForegroundWindow() == window; }, 10000, "the first saver to be in front");
    pressKey('A');
    expectExitCode(waitForExit(first, 10000, "the first saver to end after a key press"), 0, "the first saver");
}

void refusalsCase() {
    // No window number, an unknown switch, a question, and the password change that only
    // the Windows 95 family has.
    for (const char* arguments : {"/p", "/x", "/?", "/a"}) {
        const Saver saver = startSaver(arguments);
        const DWORD code = waitForExit(saver, 20000, arguments);
        if (long(code) != -1) fail("Orvel.scr %s ended with %ld, not -1", arguments, long(code));
        note("Orvel.scr %s: -1", arguments);
    }
}

void crashGuardCase() {
    const NoFaultDebugger noDebugger;
    // A saver that Wine deadlocked while starting the thread proves nothing: another one
    // takes its place.
    for (int attempt = 1; attempt <= 3; ++attempt) {
        const Saver saver = startSaver("/s");
        HWND window = waitForRunningSaver(saver);
        if (tryStartFaultingThread(saver, window)) {
            expectExitCode(waitForExit(saver, 20000, "the saver to end after the fault"), -1, "the faulting saver");
            return;
        }
        note("starting the faulting thread deadlocked the saver (attempt %d): a new one", attempt);
        TerminateProcess(saver.process, 99);
        waitForExit(saver, 10000, "the deadlocked saver to be ended");
    }
    fail("starting a thread in the saver deadlocked it three times");
}
