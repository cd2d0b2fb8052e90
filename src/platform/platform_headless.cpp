// The headless platform: a clock the caller drives, sleeps that return at once, windows
// that are records in a fixed table, and text output that is logged but not drawn.
#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/headless.h"
#include "platform/platform.h"

namespace {

struct HeadlessWindow {
    bool inUse;
    int width;
    int height;
    int dcsInUse;
    HeadlessDeviceContext dc;
};

std::uint32_t tickCount = 0;
std::uint64_t sleepCount = 0;
std::uint32_t lastSleepMs = 0;
HeadlessWindow windows[HEADLESS_WINDOW_CAPACITY];

HeadlessWindow* findWindow(WindowHandle handle) {
    for (HeadlessWindow& w : windows) {
        if (w.inUse && handle == &w) return &w;
    }
    return nullptr;
}

HeadlessWindow* findWindowOfDC(DeviceContext dc) {
    for (HeadlessWindow& w : windows) {
        if (w.inUse && dc == &w.dc) return &w;
    }
    return nullptr;
}

}  // namespace

void headlessSetTickCount(std::uint32_t ms) { tickCount = ms; }

void headlessAdvanceTickCount(std::uint32_t ms) { tickCount += ms; }

std::uint64_t headlessSleepCount() { return sleepCount; }

std::uint32_t headlessLastSleepMs() { return lastSleepMs; }

WindowHandle headlessCreateWindow(int width, int height) {
    if (width < 0 || height < 0) return nullptr;
    for (HeadlessWindow& w : windows) {
        if (!w.inUse) {
            w = HeadlessWindow{true, width, height, 0, {}};
            return &w;
        }
    }
    return nullptr;
}

void headlessDestroyWindow(WindowHandle window) {
    if (HeadlessWindow* w = findWindow(window)) w->inUse = false;
}

void headlessSetClientSize(WindowHandle window, int width, int height) {
    HeadlessWindow* w = findWindow(window);
    if (!w || width < 0 || height < 0) return;
    w->width = width;
    w->height = height;
}

int headlessDCsInUse(WindowHandle window) {
    const HeadlessWindow* w = findWindow(window);
    return w ? w->dcsInUse : 0;
}

HeadlessDeviceContext* headlessDeviceContext(DeviceContext dc) {
    HeadlessWindow* w = findWindowOfDC(dc);
    return w ? &w->dc : nullptr;
}

void headlessResetDeviceContext(DeviceContext dc) {
    if (HeadlessDeviceContext* record = headlessDeviceContext(dc)) *record = {};
}

void headlessReset() {
    tickCount = 0;
    sleepCount = 0;
    lastSleepMs = 0;
    for (HeadlessWindow& w : windows) w.inUse = false;
}

std::uint32_t platformTickCount() { return tickCount; }

void platformSleep(std::uint32_t ms) {
    ++sleepCount;
    lastSleepMs = ms;
}

DeviceContext platformGetDC(WindowHandle window) {
    HeadlessWindow* w = findWindow(window);
    if (!w) return nullptr;
    ++w->dcsInUse;
    return &w->dc;
}

void platformReleaseDC(WindowHandle window, DeviceContext dc) {
    HeadlessWindow* w = findWindow(window);
    if (w && dc == &w->dc && w->dcsInUse > 0) --w->dcsInUse;
}

ClientSize platformClientSize(WindowHandle window) {
    const HeadlessWindow* w = findWindow(window);
    return w ? ClientSize{w->width, w->height} : ClientSize{0, 0};
}

void platformSetTextColor(DeviceContext dc, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    if (HeadlessDeviceContext* record = headlessDeviceContext(dc)) {
        record->textRed = red;
        record->textGreen = green;
        record->textBlue = blue;
    }
}

void platformSetBkModeTransparent(DeviceContext dc) {
    if (HeadlessDeviceContext* record = headlessDeviceContext(dc)) record->transparentBackground = true;
}

void platformTextOut(DeviceContext dc, int x, int y, const char* text, int count) {
    HeadlessDeviceContext* record = headlessDeviceContext(dc);
    if (!record) return;
    if (record->textOutCount < HEADLESS_TEXT_LOG_CAPACITY) {
        HeadlessTextOut& entry = record->textOuts[record->textOutCount];
        const int kept = std::clamp(count, 0, int(sizeof entry.text) - 1);
        entry.x = x;
        entry.y = y;
        if (kept > 0) std::memcpy(entry.text, text, std::size_t(kept));
        entry.text[kept] = '\0';
    }
    if (record->textOutCount < INT_MAX) ++record->textOutCount;
}
