// The headless platform's clock, sleep and text output: a clock the caller drives, sleeps
// that return at once, and text output that is logged but not drawn.
#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/headless.h"
#include "platform/headless_internal.h"
#include "platform/platform.h"

namespace {

std::uint32_t tickCount = 0;
std::uint64_t sleepCount = 0;
std::uint32_t lastSleepMs = 0;
bool sleepAdvancesClock = false;

}  // namespace

void headlessSetTickCount(std::uint32_t ms) { tickCount = ms; }

void headlessAdvanceTickCount(std::uint32_t ms) { tickCount += ms; }

std::uint64_t headlessSleepCount() { return sleepCount; }

std::uint32_t headlessLastSleepMs() { return lastSleepMs; }

void headlessSetSleepAdvancesClock(bool advances) { sleepAdvancesClock = advances; }

void headlessResetDeviceContext(DeviceContext dc) {
    if (HeadlessDeviceContext* record = headlessDeviceContext(dc)) *record = {};
}

void headlessReset() {
    tickCount = 0;
    sleepCount = 0;
    lastSleepMs = 0;
    sleepAdvancesClock = false;
    resetHeadlessWindows();
    resetHeadlessSystem();
    resetHeadlessDialogs();
}

std::uint32_t platformTickCount() { return tickCount; }

void platformSleep(std::uint32_t ms) {
    ++sleepCount;
    lastSleepMs = ms;
    if (sleepAdvancesClock) tickCount += ms;
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
