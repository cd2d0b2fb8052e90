#pragma once
// The few platform services the portable code calls, with the meaning they have on
// Windows: a millisecond tick count that wraps at 2^32, a sleep, the device context of a
// window, a window's client size and plain text output on a device context. Each
// backend (headless, X11, Wayland, Win32) supplies one implementation file; CMake picks it.
#include <cstdint>

#include "platform/handles.h"

struct ClientSize {
    int width;
    int height;
};

// Milliseconds since some fixed start, wrapping at 2^32; differences are taken unsigned.
std::uint32_t platformTickCount();

// Gives up the thread for at least ms milliseconds; 0 only yields the time slice.
void platformSleep(std::uint32_t ms);

// The device context of the window's client area; hand it back with platformReleaseDC.
DeviceContext platformGetDC(WindowHandle window);
void platformReleaseDC(WindowHandle window, DeviceContext dc);

// Width and height of the window's client area, in pixels.
ClientSize platformClientSize(WindowHandle window);

// Text output on a device context, in its current font: the colour of later text, a
// background mode that leaves the pixels behind the text untouched, and count
// characters of text with their top-left corner at (x, y) pixels from the client area's
// top-left corner. The text need not be zero-terminated.
void platformSetTextColor(DeviceContext dc, std::uint8_t red, std::uint8_t green, std::uint8_t blue);
void platformSetBkModeTransparent(DeviceContext dc);
void platformTextOut(DeviceContext dc, int x, int y, const char* text, int count);
