#pragma once
// Windows, their messages and the cursor, with the meaning the Windows calls of the same
// names have. Every platform layer delivers messages in Windows' order: a sent message
// runs the window procedure at once; GetMessage then takes posted messages first, then
// input, then the quit message, then a paint request for a window that still needs
// paint, and a timer tick last. Paint stays requested until default processing of
// WM_PAINT validates the window, so a window that never validates is painted again as
// soon as nothing else waits.
#include <cstdint>

#include "platform/handles.h"

struct ScreenRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct CursorPos {
    std::int32_t x;
    std::int32_t y;
};

struct QueuedMessage {
    WindowHandle window;
    std::uint32_t message;
    WPARAM wParam;
    LPARAM lParam;
};

struct WindowClassRequest {
    const char* name;
    std::uint32_t style;
    WindowProc procedure;
    InstanceHandle instance;
    int iconResource;  // looked up in instance; a missing icon leaves the class without one
    bool blackBackground;
};

struct WindowRequest {
    std::uint32_t exStyle;
    const char* className;
    const char* title;
    std::uint32_t style;
    int x;
    int y;
    int width;
    int height;
    WindowHandle parent;
    InstanceHandle instance;
};

// RegisterClassA: false when the class cannot be registered.
bool platformRegisterClass(const WindowClassRequest& request);

// CreateWindowExA: WM_CREATE reaches the class's procedure before this returns; a
// visible window is then shown (WM_SHOWWINDOW with 1). Null when it cannot be made.
WindowHandle platformCreateWindow(const WindowRequest& request);

// DestroyWindow: the window's children, then the window, get WM_DESTROY.

bool platformIsWindow(WindowHandle window);
WindowHandle platformGetParent(WindowHandle window);

// FindWindowA by class and title; null when there is none.
WindowHandle platformFindWindow(const char* className, const char* title);
WindowHandle platformGetForegroundWindow();
void platformSetForegroundWindow(WindowHandle window);

// The screen's clip box, and a window's client rectangle (left and top are 0).
ScreenRect platformScreenRect();
ScreenRect platformClientRect(WindowHandle window);

// The colour depth in bits per pixel of a device context (GetDeviceCaps BITSPIXEL).
std::int32_t platformColorDepth(DeviceContext dc);

// RegisterWindowMessageA: the same number for the same name, from 0xC000 up.
std::uint32_t platformRegisterWindowMessage(const char* name);

// GetMessageA: more than 0 for a message, 0 for the quit message (whose wParam is the
// exit code), -1 on failure, for example when it would wait forever.
int platformGetMessage(QueuedMessage& message);
void platformTranslateMessage(const QueuedMessage& message);
LRESULT platformDispatchMessage(const QueuedMessage& message);

// PeekMessageA for one window and a range of messages; true when one was found.
bool platformPeekMessage(QueuedMessage& message, WindowHandle window, std::uint32_t first, std::uint32_t last,
                         std::uint32_t removeFlags);

bool platformPostMessage(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
LRESULT platformSendMessage(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
void platformPostQuitMessage(int exitCode);

// DefWindowProcA: WM_CLOSE destroys the window, WM_PAINT validates it; the rest as the
// platform does by default.
LRESULT platformDefWindowProc(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam);

// SetTimer without a callback: WM_TIMER every periodMs. Returns the timer's identifier,
// or 0 when it cannot be started. KillTimer stops it.
std::uintptr_t platformSetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t periodMs);
bool platformKillTimer(WindowHandle window, std::uintptr_t id);

// InvalidateRect of the whole client area with erase: the window needs paint.
void platformInvalidateRect(WindowHandle window);

// GetCursorPos in screen coordinates, and SetCursor(none), which hides the cursor.
CursorPos platformGetCursorPos();
void platformHideCursor();
