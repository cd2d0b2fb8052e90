#include "harness.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

std::vector<Process> started;

std::string formatted(const char* format, va_list arguments) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, arguments);
    return text;
}

void sendInputs(INPUT* inputs, UINT count) {
    if (SendInput(count, inputs, sizeof(INPUT)) != count) fail("SendInput refused the input");
}

LRESULT CALLBACK testWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CONTEXTMENU) {
        ++contextMenus;
        contextMenuWParam = wParam;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int contextMenus = 0;
WPARAM contextMenuWParam = 0;

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

Process startProgram(const std::string& program, const std::string& arguments, const char* errorFile) {
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    HANDLE error = INVALID_HANDLE_VALUE;
    if (errorFile != nullptr) {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        error = CreateFileA(errorFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (error == INVALID_HANDLE_VALUE) fail("cannot make %s (error %lu)", errorFile, GetLastError());
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = error;
    }
    PROCESS_INFORMATION info{};
    const BOOL made = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, errorFile != nullptr, 0,
                                     nullptr, nullptr, &startup, &info);
    if (error != INVALID_HANDLE_VALUE) CloseHandle(error);
    if (!made) fail("cannot start %s (error %lu)", commandLine.c_str(), GetLastError());
    CloseHandle(info.hThread);
    started.push_back({info.hProcess, info.dwProcessId});
    return started.back();
}

bool hasExited(const Process& process) { return WaitForSingleObject(process.handle, 0) == WAIT_OBJECT_0; }

DWORD waitForExit(const Process& process, const char* what) {
    waitUntil([&] { return hasExited(process); }, 20000, what);
    DWORD code = 0;
    GetExitCodeProcess(process.handle, &code);
    return code;
}

void terminateAll() {
    for (const Process& process : started) {
        if (!hasExited(process)) {
            std::printf("  ending process %lu, still running\n", process.id);
            TerminateProcess(process.handle, 99);
            WaitForSingleObject(process.handle, 5000);
        }
        CloseHandle(process.handle);
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
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, className, title)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return window;
    }
    return nullptr;
}

HWND waitForTopLevel(const Process& process, const char* className, const char* title) {
    HWND window = nullptr;
    const std::string what = std::string("a window \"") + title + "\" of class " + className;
    waitUntil(
        [&] {
            window = findTopLevel(process.id, className, title);
            if (window == nullptr && hasExited(process)) fail("the process ended before showing %s", what.c_str());
            return window != nullptr;
        },
        30000, what.c_str());
    return window;
}

HWND makeTestWindow(const char* title, int x, int y) {
    static ATOM windowClass = 0;
    if (windowClass == 0) {
        WNDCLASSA test{};
        test.lpfnWndProc = testWindowProc;
        test.hInstance = GetModuleHandleA(nullptr);
        test.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        test.lpszClassName = "OrvelTestWindow";
        windowClass = RegisterClassA(&test);
        if (windowClass == 0) fail("cannot register the test windows' class");
    }
    HWND window = CreateWindowExA(0, "OrvelTestWindow", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 360, 280,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) fail("cannot make the window \"%s\"", title);
    return window;
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
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};  // top-down
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) fail("cannot make a bitmap to copy the screen into");
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + std::size_t(width) * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

void waitForMovingPicture(const RECT& rect, int skipTop, const char* what) {
    const std::vector<std::uint32_t> first = captureScreen(rect);
    const std::size_t from = std::size_t(skipTop) * (rect.right - rect.left);
    waitUntil(
        [&] {
            const std::vector<std::uint32_t> now = captureScreen(rect);
            std::size_t changed = 0;
            for (std::size_t i = from; i < first.size(); ++i) changed += first[i] != now[i];
            return changed > first.size() / 200;
        },
        20000, what);
}

std::optional<std::string> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    if (!out.write(bytes.data(), std::streamsize(bytes.size())).flush()) fail("cannot write %s", path.c_str());
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

void copyFile(const std::string& from, const std::string& to) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
        fail("cannot copy %s to %s (error %lu): build the linux preset's orvel_wine_driver target", from.c_str(),
             to.c_str(), GetLastError());
    }
}

std::string driverFolder() {
    char path[MAX_PATH] = "";
    const std::string folder(path, GetModuleFileNameA(nullptr, path, sizeof path));
    return folder.substr(0, folder.find_last_of('\\') + 1);
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

bool LogLine::has(const char* key) const { return text.find(" " + std::string(key) + "=") != std::string::npos; }

std::string LogLine::value(const char* key) const {
    const std::string field = " " + std::string(key) + "=";
    const std::size_t at = text.find(field);
    if (at == std::string::npos) fail("the log line \"%s\" has no %s", text.c_str(), key);
    const std::size_t from = at + field.size();
    return text.substr(from, text.find(' ', from) - from);
}

unsigned long long LogLine::number(const char* key) const { return std::strtoull(value(key).c_str(), nullptr, 0); }

Log readLog(const std::string& path) {
    Log log;
    const std::string bytes = readFileBytes(path).value_or("");
    for (std::size_t at = 0, end; at < bytes.size(); at = end + 2) {
        end = bytes.find("\r\n", at);
        if (end == std::string::npos) end = bytes.size();
        LogLine line;
        line.text = bytes.substr(at, end - at);
        line.tick = DWORD(std::strtoul(line.text.c_str() + 5, nullptr, 10));  // after "tick="
        const std::size_t event = line.text.find(' ') + 1;
        line.event = line.text.substr(event, line.text.find(' ', event) - event);
        log.push_back(line);
    }
    return log;
}

std::vector<const LogLine*> linesOf(const Log& log, const char* event, int n) {
    std::vector<const LogLine*> lines;
    for (const LogLine& line : log) {
        if (line.event == event && (n == 0 || (line.has("n") && line.number("n") == unsigned(n)))) {
            lines.push_back(&line);
        }
    }
    return lines;
}

const LogLine& onlyLine(const Log& log, const char* event, int n) {
    const std::vector<const LogLine*> lines = linesOf(log, event, n);
    if (lines.size() != 1) {
        fail("the log has %d lines \"%s\" (call %d) where one was due:\n%s", int(lines.size()), event, n,
             logText(log).c_str());
    }
    return *lines.front();
}

std::string logText(const Log& log) {
    std::string text = log.empty() ? "    (nothing)" : "";
    for (const LogLine& line : log) text += (text.empty() ? "    " : "\n    ") + line.text;
    return text;
}

int saverRunningState() {
    const Process reader = startProgram(driverFolder() + "orvel-probe.exe", "running");
    const DWORD state = waitForExit(reader, "the saver-running state to be read");
    if (state > 1) fail("orvel-probe.exe could not read the saver-running state");
    return int(state);
}

HANDLE watchSaverRunningWrites() {
    constexpr char KEY[] = "Software\\Wine\\Temporary System Parameters\\Control Panel\\Desktop";
    static HKEY key = nullptr;
    static HANDLE event = nullptr;
    if (key != nullptr) RegCloseKey(key);
    if (event != nullptr) CloseHandle(event);
    event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (RegCreateKeyExA(HKEY_CURRENT_USER, KEY, 0, nullptr, REG_OPTION_VOLATILE, KEY_NOTIFY, nullptr, &key, nullptr) !=
            ERROR_SUCCESS ||
        RegNotifyChangeKeyValue(key, FALSE, REG_NOTIFY_CHANGE_LAST_SET, event, TRUE) != ERROR_SUCCESS) {
        fail("cannot watch HKCU\\%s, where Wine keeps the saver-running state", KEY);
    }
    return event;
}
