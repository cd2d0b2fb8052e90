#pragma once
// orvel-bench's own view of its Xvfb: the top-level windows (to know that the last run's
// saver has gone), the root window's pixels (to see the scene appear where no probe can
// be preloaded) and the pointer (to end a saver as a user would).
#include <string>

struct _XDisplay;

class ScreenWatch {
public:
    ScreenWatch() = default;
    ScreenWatch(const ScreenWatch&) = delete;
    ScreenWatch& operator=(const ScreenWatch&) = delete;
    ~ScreenWatch();

    bool open(const std::string& display);

    // Closes the connection; due before the server ends, as Xlib ends the process when
    // its server goes away.
    void close();

    // How many children the root window has now.
    int topLevelWindows();

    // How many of them are mapped (viewable).
    int mappedTopLevelWindows();

    // Waits up to timeoutMs until the root has count children (mapped ones only when
    // mappedOnly); false on a timeout.
    bool waitForTopLevelWindows(int count, int timeoutMs, bool mappedOnly = false);

    // True when any pixel of the screen is not black.
    bool anyLitPixel();

    // Moves the pointer across the screen in a few steps 50 ms apart.
    void jiggle();

private:
    _XDisplay* display = nullptr;
};
