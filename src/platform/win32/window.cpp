// Windows' own windows and messages behind window_system.h: each operation is the call
// of the same name. The portable window procedure has its own type, so every class is
// registered with one small WNDPROC that looks the class's portable procedure up and
// calls it.
#include <windows.h>

#include "platform/window_system.h"

namespace {

constexpr int CLASS_CAPACITY = 4;

struct RegisteredClass {
    ATOM atom;
    WindowProc procedure;
};

RegisteredClass classes[CLASS_CAPACITY];

// The message GetMessageA took last, with its time and cursor position, so that
// TranslateMessage and DispatchMessageA see the message as the system queued it.
MSG lastMessage;

HWND toHwnd(WindowHandle window) { return static_cast<HWND>(window); }

WindowProc procedureOf(HWND window) {
    const auto atom = ATOM(GetClassWord(window, GCW_ATOM));
    for (const RegisteredClass& c : classes) {
        if (c.atom != 0 && c.atom == atom) return c.procedure;
    }
    return nullptr;
}

LRESULT CALLBACK windowTrampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowProc procedure = procedureOf(window);
    if (procedure == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return procedure(window, message, wParam, lParam);
}

MSG toMsg(const QueuedMessage& message) {
    if (lastMessage.hwnd == toHwnd(message.window) && lastMessage.message == message.message &&
        lastMessage.wParam == message.wParam && lastMessage.lParam == message.lParam) {
        return lastMessage;
    }
    MSG msg{};
    msg.hwnd = toHwnd(message.window);
    msg.message = message.message;
    msg.wParam = message.wParam;
    msg.lParam = message.lParam;
    msg.time = GetMessageTime();
    return msg;
}

}  // namespace

bool platformRegisterClass(const WindowClassRequest& request) {
    RegisteredClass* slot = nullptr;
    for (RegisteredClass& c : classes) {
        if (c.atom == 0) {
            slot = &c;
            break;
        }
    }
    if (slot == nullptr || request.procedure == nullptr) return false;

    HINSTANCE instance = static_cast<HINSTANCE>(const_cast<void*>(request.instance));
    WNDCLASSA windowClass{};
    windowClass.style = request.style;
    windowClass.lpfnWndProc = windowTrampoline;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(request.iconResource));
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = request.blackBackground ? static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)) : nullptr;
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = request.name;
    // The procedure is in place before the atom exists, so no message can miss it.
    slot->procedure = request.procedure;
    slot->atom = RegisterClassA(&windowClass);
    return slot->atom != 0;
}

WindowHandle platformCreateWindow(const WindowRequest& request) {
    return CreateWindowExA(request.exStyle, request.className, request.title, request.style, request.x, request.y,
                           request.width, request.height, toHwnd(request.parent), nullptr,
                           static_cast<HINSTANCE>(const_cast<void*>(request.instance)), nullptr);
}

bool platformIsWindow(WindowHandle window) { return IsWindow(toHwnd(window)) != FALSE; }

WindowHandle platformGetParent(WindowHandle window) { return GetParent(toHwnd(window)); }

WindowHandle platformFindWindow(const char* className, const char* title) { return FindWindowA(className, title); }

WindowHandle platformGetForegroundWindow() { return GetForegroundWindow(); }

void platformSetForegroundWindow(WindowHandle window) { SetForegroundWindow(toHwnd(window)); }

ScreenRect platformScreenRect() {
    HDC screen = GetDC(nullptr);
    RECT box{};
    GetClipBox(screen, &box);
    ReleaseDC(nullptr, screen);
    return {int(box.left), int(box.top), int(box.right), int(box.bottom)};
}

ScreenRect platformClientRect(WindowHandle window) {
    RECT client{};
    GetClientRect(toHwnd(window), &client);
    return {int(client.left), int(client.top), int(client.right), int(client.bottom)};
}

std::int32_t platformColorDepth(DeviceContext dc) { return GetDeviceCaps(static_cast<HDC>(dc), BITSPIXEL); }

std::uint32_t platformRegisterWindowMessage(const char* name) { return RegisterWindowMessageA(name); }

int platformGetMessage(QueuedMessage& message) {
    const BOOL got = GetMessageA(&lastMessage, nullptr, 0, 0);
    message = {lastMessage.hwnd, lastMessage.message, lastMessage.wParam, lastMessage.lParam};
    return got > 0 ? 1 : int(got);
}

void platformTranslateMessage(const QueuedMessage& message) {
    const MSG msg = toMsg(message);
    TranslateMessage(&msg);
}

LRESULT platformDispatchMessage(const QueuedMessage& message) {
    const MSG msg = toMsg(message);
    return DispatchMessageA(&msg);
}

bool platformPeekMessage(QueuedMessage& message, WindowHandle window, std::uint32_t first, std::uint32_t last,
                         std::uint32_t removeFlags) {
    MSG msg{};
    if (!PeekMessageA(&msg, toHwnd(window), first, last, removeFlags)) return false;
    message = {msg.hwnd, msg.message, msg.wParam, msg.lParam};
    return true;
}

bool platformPostMessage(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    return PostMessageA(toHwnd(window), message, wParam, lParam) != FALSE;
}

LRESULT platformSendMessage(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(toHwnd(window), message, wParam, lParam);
}

void platformPostQuitMessage(int exitCode) { PostQuitMessage(exitCode); }

LRESULT platformDefWindowProc(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(toHwnd(window), message, wParam, lParam);
}

std::uintptr_t platformSetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t periodMs) {
    return SetTimer(toHwnd(window), id, periodMs, nullptr);
}

bool platformKillTimer(WindowHandle window, std::uintptr_t id) { return KillTimer(toHwnd(window), id) != FALSE; }

void platformInvalidateRect(WindowHandle window) { InvalidateRect(toHwnd(window), nullptr, TRUE); }

CursorPos platformGetCursorPos() {
    POINT point{};
    GetCursorPos(&point);
    return {std::int32_t(point.x), std::int32_t(point.y)};
}

void platformHideCursor() { SetCursor(nullptr); }
