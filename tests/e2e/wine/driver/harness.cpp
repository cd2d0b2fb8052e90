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

Saver startSaver(const std::string& arguments) {
    std::string commandLine = "\"" + saverPath + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    Saver saver;
    saver.startTick = GetTickCount();
    if (!CreateProcessA(saverPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
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
    struct Search {
        DWORD processId;
        const char* className;
        const char* title;
        HWND found;
    } search{processId, className, title, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[128] = "";
            char text[128] = "";
            GetClassNameA(window, name, sizeof name);
            GetWindowTextA(window, text, sizeof text);
            if (owner == s.processId && lstrcmpA(name, s.className) == 0 && lstrcmpA(text, s.title) == 0) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
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

void pressKey(WORD virtualKey) {
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    sendInputs(inputs, 2);
}

void moveCursorTo(POINT screen) {
    // Absolute positions are in 0..65535 across the primary screen.
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = LONG((screen.x * 65536 + width / 2) / width);
    input.mi.dy = LONG((screen.y * 65536 + height / 2) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    sendInputs(&input, 1);
}

void clickAt(POINT screen, bool rightButton) {
    moveCursorTo(screen);
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
