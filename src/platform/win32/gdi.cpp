// Device contexts, client sizes and text output on Windows: GetDC, ReleaseDC,
// GetClientRect, SetTextColor, SetBkMode and TextOutA.
#include <windows.h>

#include "platform/platform.h"

DeviceContext platformGetDC(WindowHandle window) { return GetDC(static_cast<HWND>(window)); }

void platformReleaseDC(WindowHandle window, DeviceContext dc) {
    ReleaseDC(static_cast<HWND>(window), static_cast<HDC>(dc));
}

ClientSize platformClientSize(WindowHandle window) {
    RECT client{};
    GetClientRect(static_cast<HWND>(window), &client);
    return {int(client.right - client.left), int(client.bottom - client.top)};
}

void platformSetTextColor(DeviceContext dc, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    SetTextColor(static_cast<HDC>(dc), RGB(red, green, blue));
}

void platformSetBkModeTransparent(DeviceContext dc) { SetBkMode(static_cast<HDC>(dc), TRANSPARENT); }

void platformTextOut(DeviceContext dc, int x, int y, const char* text, int count) {
    TextOutA(static_cast<HDC>(dc), x, y, text, count);
}
