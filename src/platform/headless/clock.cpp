// The headless platform's clock: milliseconds that move only when the caller moves them,
// or, if asked, when the program sleeps, as real time would.
#include "platform/headless/headless.h"
#include "platform/headless/internal.h"
#include "platform/platform.h"

namespace {

std::uint32_t tickCount = 0;
std::uint64_t sleepCount = 0;
std::uint32_t lastSleepMs = 0;
bool sleepAdvancesClock = false;

}  // namespace

void resetHeadlessClock() {
    tickCount = 0;
    sleepCount = 0;
    lastSleepMs = 0;
    sleepAdvancesClock = false;
}

void headlessSetTickCount(std::uint32_t ms) { tickCount = ms; }

void headlessAdvanceTickCount(std::uint32_t ms) { tickCount += ms; }

std::uint64_t headlessSleepCount() { return sleepCount; }

std::uint32_t headlessLastSleepMs() { return lastSleepMs; }

void headlessSetSleepAdvancesClock(bool advances) { sleepAdvancesClock = advances; }

std::uint32_t platformTickCount() { return tickCount; }

void platformSleep(std::uint32_t ms) {
    ++sleepCount;
    lastSleepMs = ms;
    if (sleepAdvancesClock) tickCount += ms;
}
