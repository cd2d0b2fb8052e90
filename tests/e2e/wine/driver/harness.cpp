#include "harness.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

std::string saverPath;
std::vector<Saver> started;

std::string formatted(const char* format, va_list arguments) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, arguments);
    return text;
}

void sendInputs(INPUT* inputs, UINT count) {
    if (SendInput(count, inputs, sizeof(INPUT)) != count) fail("SendInput refused the input");
}

struct TopLevelSearch {
    DWORD processId;
    const char *className, *title;
    HWND found;
};

// EnumWindows' callback: CALLBACK, which a lambda cannot be. Stops at the first match.
BOOL CALLBACK matchTopLevel(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<TopLevelSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[128] = "", text[128] = "";
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, text, sizeof text);
    const bool match =
        owner == search.processId && lstrcmpA(name, search.className) == 0 && lstrcmpA(text, search.title) == 0;
    if (match) search.found = window;
    return match ? FALSE : TRUE;
}

constexpr char AE_DEBUG_KEY[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";

}  // namespace

void fail(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const std::string text = formatted(format, arguments);
    va_end(arguments);
    throw CaseFailure(text);
}

void note(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::printf("  %s\n", formatted(format, arguments).c_str());
    va_end(arguments);
    std::fflush(stdout);
}

void setSaverPath(const std::string& path) { saverPath = path; }

const std::string& testedSaverPath() { return saverPath; }

std::string driverFolder() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

Saver startSaver(const std::string& arguments) { return startProgram(saverPath, arguments); }

Saver startProgram(const std::string& program, const std::string& arguments) {
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    Saver saver;
    saver.startTick = GetTickCount();
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        fail("cannot start %s (error %lu)", commandLine.c_str(), GetLastError());
    }
    CloseHandle(info.hThread);
    saver.process = info.hProcess;
    saver.id = info.dwProcessId;
    started.push_back(saver);
    return saver;
}

bool hasExited(const Saver& saver) { return WaitForSingleObject(saver.process, 0) == WAIT_OBJECT_0; }

DWORD waitForExit(const Saver& saver, DWORD timeoutMs, const char* what) {
    waitUntil([&] { return hasExited(saver); }, timeoutMs, what);
    DWORD code = 0;
    GetExitCodeProcess(saver.process, &code);
    return code;
}

void terminateAll() {
    for (const Saver& saver : started) {
        if (!hasExited(saver)) {
            std::printf("  ending Orvel.scr process %lu, still running\n", saver.id);
            TerminateProcess(saver.process, 99);
            WaitForSingleObject(saver.process, 5000);
        }
        CloseHandle(saver.process);
    }
    started.clear();
}

void pumpMessages(DWORD ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HWND findTopLevel(DWORD processId, const char* className, const char* title) {
    TopLevelSearch search{processId, className, title, nullptr};
    EnumWindows(matchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForTopLevel(const Saver& saver, const char* className, const char* title, DWORD timeoutMs) {
    HWND window = nullptr;
    const std::string what = std::string("a window \"") + title + "\" of class " + className;
    waitUntil(
        [&] {
            window = findTopLevel(saver.id, className, title);
            if (window == nullptr && hasExited(saver)) {
                DWORD code = 0;
                GetExitCodeProcess(saver.process, &code);
                fail("Orvel.scr ended with %ld before showing %s", long(code), what.c_str());
            }
            return window != nullptr;
        },
        timeoutMs, what.c_str());
    return window;
}

void expectNoErrorBox(const Saver& saver) {
    if (findTopLevel(saver.id, "#32770", "ERROR") != nullptr) fail("Orvel.scr reported an OpenGL error");
}

HWND waitForRunningSaver(const Saver& saver) {
    HWND window = waitForTopLevel(saver, "WindowsScreenSaverClass", "Screen Saver", 30000);
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

HWND makeTestWindow(const char* title, int x, int y, int width, int height) {
    static ATOM windowClass = 0;
    if (windowClass == 0) {
        WNDCLASSA test{};
        test.lpfnWndProc = DefWindowProcA;
        test.hInstance = GetModuleHandleA(nullptr);
        test.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        test.lpszClassName = "OrvelTestWindow";
        windowClass = RegisterClassA(&test);
        if (windowClass == 0) fail("cannot register the test windows' class");
    }
    HWND window = CreateWindowExA(0, "OrvelTestWindow", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width, height,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) fail("cannot make the window \"%s\"", title);
    return window;
}

NoFaultDebugger::NoFaultDebugger() {
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, AE_DEBUG_KEY, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_,
                        nullptr) != ERROR_SUCCESS) {
        fail("cannot open the AeDebug key");
    }
    char value[512];
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExA(key_, "Debugger", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        hadDebugger_ = true;
        debugger_.assign(value, size > 0 && value[size - 1] == '\0' ? size - 1 : size);
    }
    setDebugger("orvel-no-such-debugger.exe %ld %ld");
}

NoFaultDebugger::~NoFaultDebugger() {
    if (hadDebugger_) {
        setDebugger(debugger_.c_str());
    } else {
        RegDeleteValueA(key_, "Debugger");
    }
    RegCloseKey(key_);
}

void NoFaultDebugger::setDebugger(const char* commandLine) {
    RegSetValueExA(key_, "Debugger", 0, REG_SZ, reinterpret_cast<const BYTE*>(commandLine),
                   DWORD(lstrlenA(commandLine) + 1));
}

namespace {

struct RemoteStart {
    HANDLE process;
    DWORD error;
};

// The request goes from a thread of its own, since Wine waits for its answer without a
// deadline.
DWORD WINAPI startRemoteThread(void* data) {
    auto& start = *static_cast<RemoteStart*>(data);
    HANDLE thread = CreateRemoteThread(start.process, nullptr, 0,
                                       reinterpret_cast<LPTHREAD_START_ROUTINE>(std::uintptr_t(8)), nullptr, 0,
                                       nullptr);
    start.error = thread == nullptr ? GetLastError() : ERROR_SUCCESS;
    if (thread != nullptr) CloseHandle(thread);
    return 0;
}

}  // namespace

bool tryStartFaultingThread(const Saver& saver, HWND window) {
    // Static: a request that never returns may still write to it after the case ended.
    static RemoteStart starts[4];
    static int used = 0;
    if (used == 4) fail("too many attempts to start a thread in the saver");
    RemoteStart& start = starts[used++];
    start = {saver.process, ERROR_IO_PENDING};
    HANDLE requester = CreateThread(nullptr, 0, startRemoteThread, &start, 0, nullptr);
    if (requester == nullptr) fail("cannot make a thread (error %lu)", GetLastError());
    const DWORD waited = WaitForSingleObject(requester, 5000);
    CloseHandle(requester);
    if (waited == WAIT_OBJECT_0) {
        if (start.error != ERROR_SUCCESS) fail("cannot start a thread in the saver (error %lu)", start.error);
        return true;
    }
    // Wine makes the thread by interrupting one of the saver's own threads, which now and
    // then deadlocks it inside its drawing. Then it answers nothing any more.
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer)) {
        fail("starting a thread in the saver did not end within 5 s, yet the saver still answers");
    }
    return false;
}

void pressKey(WORD virtualKey) {
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    sendInputs(inputs, 2);
}

void moveCursorTo(POINT screen) {
    // Absolute positions are in 0..65535 across the primary screen; rounded up, so that
    // Wine's conversion back, which rounds down, lands on the pixel.
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = LONG((screen.x * 65536 + width - 1) / width);
    input.mi.dy = LONG((screen.y * 65536 + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    sendInputs(&input, 1);
}

void clickAt(POINT screen, bool rightButton) {
    moveCursorTo(screen);
    waitUntil(
        [&] {
            POINT at{};
            GetCursorPos(&at);
            return at.x == screen.x && at.y == screen.y;
        },
        2000, "the cursor to reach the click's place");
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    sendInputs(inputs, 2);
}

POINT centreOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::vector<std::uint32_t> captureScreen(const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) fail("cannot make a bitmap to copy the screen into");
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                      static_cast<const std::uint32_t*>(bits) + std::size_t(width) * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

int changedPixels(const std::vector<std::uint32_t>& before, const std::vector<std::uint32_t>& after,
                  const RECT& rect, int skipTop) {
    const int width = rect.right - rect.left;
    int changed = 0;
    for (std::size_t i = std::size_t(skipTop) * width; i < before.size() && i < after.size(); ++i) {
        changed += before[i] != after[i];
    }
    return changed;
}

void waitForMovingPicture(const RECT& rect, int skipTop, const char* what) {
    const std::vector<std::uint32_t> first = captureScreen(rect);
    const int enough = int(first.size() / 200);
    waitUntil([&] { return changedPixels(first, captureScreen(rect), rect, skipTop) > enough; }, 20000, what);
}

std::optional<std::string> readFileBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    const BOOL ok = ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr);
    CloseHandle(file);
    if (!ok || read != bytes.size()) fail("cannot read %s", path.c_str());
    return bytes;
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) fail("cannot create %s (error %lu)", path.c_str(), GetLastError());
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) fail("cannot write %s", path.c_str());
}

void removeFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (!RemoveDirectoryA(path.c_str())) fail("cannot remove the folder %s", path.c_str());
        return;
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(path.c_str())) fail("cannot delete %s (error %lu)", path.c_str(), GetLastError());
}

std::string windowsSettingsFile() {
    char directory[MAX_PATH];
    GetWindowsDirectoryA(directory, sizeof directory);
    return std::string(directory) + "\\Orvelconfig.ini";
}

std::string userSettingsFolder() {
    char appData[MAX_PATH] = "";
    if (GetEnvironmentVariableA("APPDATA", appData, sizeof appData) == 0) fail("APPDATA is not set");
    return std::string(appData) + "\\Orvel";
}

std::string userSettingsFile() { return userSettingsFolder() + "\\Orvelconfig.ini"; }

void clearSettings() {
    removeFile(windowsSettingsFile());
    const DWORD attributes = GetFileAttributesA(userSettingsFolder().c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) removeFile(userSettingsFile());
    removeFile(userSettingsFolder());
}
