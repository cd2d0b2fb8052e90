// The headless platform's reset and its text output, which is logged on the device
// context but not drawn.
#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/headless/headless.h"
#include "platform/headless/internal.h"
#include "platform/platform.h"

void headlessResetDeviceContext(DeviceContext dc) {
    if (HeadlessDeviceContext* record = headlessDeviceContext(dc)) *record = {};
}

void headlessReset() {
    resetHeadlessClock();
    resetHeadlessWindows();
    resetHeadlessSystem();
    resetHeadlessDialogs();
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
