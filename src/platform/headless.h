#pragma once
// Controls of the headless platform, for the offline renderer and the tests. Its clock
// moves only when the caller moves it, its sleep returns at once, its windows are plain
// records with a client size, and its text output draws nothing but is logged on the
// device context so that callers can see what would have been written. All records are
// static: nothing is allocated.
#include <cstdint>

#include "platform/handles.h"

// One text output: position and the text, cut to 31 characters.
struct HeadlessTextOut {
    int x;
    int y;
    char text[32];
};

inline constexpr int HEADLESS_TEXT_LOG_CAPACITY = 8;

// The state of a window's device context. A reset gives black text, an opaque
// background and an empty log.
struct HeadlessDeviceContext {
    std::uint8_t textRed;
    std::uint8_t textGreen;
    std::uint8_t textBlue;
    bool transparentBackground;
    int textOutCount;  // outputs since the last reset; the first ones are kept below
    HeadlessTextOut textOuts[HEADLESS_TEXT_LOG_CAPACITY];
};

inline constexpr int HEADLESS_WINDOW_CAPACITY = 8;

// Clock: platformTickCount returns this value, which wraps at 2^32.
void headlessSetTickCount(std::uint32_t ms);
void headlessAdvanceTickCount(std::uint32_t ms);

// Sleep requests: how many were made and the last one asked for.
std::uint64_t headlessSleepCount();
std::uint32_t headlessLastSleepMs();

// A window with the given client size, or nullptr when the size is negative or all
// HEADLESS_WINDOW_CAPACITY windows are in use.
WindowHandle headlessCreateWindow(int width, int height);
void headlessDestroyWindow(WindowHandle window);
// A negative size leaves the window as it was.
void headlessSetClientSize(WindowHandle window, int width, int height);

// Device contexts taken from the window and not yet released.
int headlessDCsInUse(WindowHandle window);

// The record behind a device context from platformGetDC, or nullptr for anything else.
HeadlessDeviceContext* headlessDeviceContext(DeviceContext dc);
void headlessResetDeviceContext(DeviceContext dc);

// Back to the start: clock at 0, no sleeps recorded, no windows.
void headlessReset();
