// The full-screen saver, a second start while one runs, the switches it refuses, and
// the crash guard.
#include <string>

#include "cases.h"
#include "harness.h"

namespace {

constexpr char SAVER_CLASS[] = "WindowsScreenSaverClass";
constexpr char SAVER_TITLE[] = "Screen Saver";

// The full-screen window once it is in front, where the keyboard's input goes.
HWND waitForRunningSaver(const Saver& saver) {
    HWND window = waitForTopLevel(saver, SAVER_CLASS, SAVER_TITLE, 30000);
    waitUntil(
        [&] {
            expectNoErrorBox(saver);
            return GetForegroundWindow() == window;
        },
        10000, "the saver window to come to the front");
    note("saver window in front %lu ms after the start", GetTickCount() - saver.startTick);
    return window;
}

void expectExitCode(DWORD code, long expected, const char* what) {
    if (long(code) != expected) fail("%s ended with %ld, not %ld", what, long(code), expected);
}

}  // namespace

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

namespace {

// The system's debugger for faults nobody handled, pointed at a program that does not
// exist for as long as the object lives. With no debugger to start, the system's own
// handling of the fault asks for the guard's handler, as Windows does once it has
// reported the fault.
class NoFaultDebugger {
public:
    NoFaultDebugger() {
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, KEY_PATH, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS) {
            fail("cannot open the AeDebug key");
        }
        char value[512];
        DWORD size = sizeof value;
        DWORD type = 0;
        if (RegQueryValueExA(key_, "Debugger", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ) {
            hadDebugger_ = true;
            debugger_.assign(value, size > 0 && value[size - 1] == '\0' ? size - 1 : size);
        }
        setDebugger("orvel-no-such-debugger.exe %ld %ld");
    }
    ~NoFaultDebugger() {
        if (hadDebugger_) {
            setDebugger(debugger_.c_str());
        } else {
            RegDeleteValueA(key_, "Debugger");
        }
        RegCloseKey(key_);
    }
    NoFaultDebugger(const NoFaultDebugger&) = delete;
    NoFaultDebugger& operator=(const NoFaultDebugger&) = delete;

private:
    static constexpr char KEY_PATH[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";
    void setDebugger(const char* commandLine) {
        RegSetValueExA(key_, "Debugger", 0, REG_SZ, reinterpret_cast<const BYTE*>(commandLine),
                       DWORD(lstrlenA(commandLine) + 1));
    }
    HKEY key_ = nullptr;
    bool hadDebugger_ = false;
    std::string debugger_;
};

}  // namespace

void crashGuardCase() {
    const NoFaultDebugger noDebugger;
    const Saver saver = startSaver("/s");
    waitForRunningSaver(saver);
    // A fault inside the running saver: a thread of its own that starts where no code is.
    HANDLE thread = CreateRemoteThread(saver.process, nullptr, 0,
                                       reinterpret_cast<LPTHREAD_START_ROUTINE>(std::uintptr_t(8)), nullptr, 0,
                                       nullptr);
    if (thread == nullptr) fail("cannot start a faulting thread in the saver (error %lu)", GetLastError());
    CloseHandle(thread);
    expectExitCode(waitForExit(saver, 20000, "the saver to end after the fault"), -1, "the faulting saver");
}
