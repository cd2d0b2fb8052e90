// The ORVEL_STATS line: with ORVEL_STATS set (and not "0"), one line on standard error
// as the process ends, with the frames drawn, the shortest time from one frame start to
// the next on the saver's own millisecond clock (the one its 10 ms pacing keeps to), the
// mean frame period, the mean frame time (from a frame's start until its picture is
// shown, the pacing's wait left out; frame 1, which sets up the driver, too), how long
// after start the first frame began, the backend's own count and details if it has them,
// and the caller's note.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/process.h"
#include "platform/program_start.h"

namespace {

std::uint64_t frames = 0;
std::uint32_t lastStartTick = 0;
std::uint32_t shortestMs = 0;
std::uint64_t firstStartUs = 0;
std::uint64_t lastStartUs = 0;
bool frameOpen = false;  // started and not yet shown
std::uint64_t busyUs = 0;
std::uint64_t busyFrames = 0;
const char* (*statsNote)() = nullptr;
const char* countName = nullptr;
unsigned (*countOf)() = nullptr;
const char* (*detailOf)() = nullptr;
bool written = false;

bool statsWanted() {
    const char* value = std::getenv("ORVEL_STATS");
    return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

}  // namespace

void platformSetStatsNote(const char* (*note)()) { statsNote = note; }

void posixSetStatsCount(const char* what, unsigned (*count)()) {
    countName = what;
    countOf = count;
}

void posixSetStatsDetail(const char* (*detail)()) { detailOf = detail; }

void posixNoteFrameStart() {
    const std::uint32_t tick = platformTickCount();
    const std::uint64_t now = posixMicroseconds();
    if (frames == 0) {
        firstStartUs = now;
    } else {
        const std::uint32_t period = tick - lastStartTick;
        if (frames == 1 || period < shortestMs) shortestMs = period;
    }
    lastStartTick = tick;
    lastStartUs = now;
    frameOpen = true;
    ++frames;
}

void posixNoteFrameShown() {
    if (!frameOpen) return;
    frameOpen = false;
    if (frames < 2) return;
    busyUs += posixMicroseconds() - lastStartUs;
    ++busyFrames;
}

void posixWriteStats() {
    if (written || !statsWanted()) return;
    written = true;
    const double meanMs = frames > 1 ? double(lastStartUs - firstStartUs) / 1000.0 / double(frames - 1) : 0.0;
    const double busyMs = busyFrames > 0 ? double(busyUs) / 1000.0 / double(busyFrames) : 0.0;
    char count[64] = "";
    if (countOf != nullptr) std::snprintf(count, sizeof count, ", %u %s", countOf(), countName);
    const char* note = statsNote != nullptr ? statsNote() : nullptr;
    const char* detail = detailOf != nullptr ? detailOf() : nullptr;
    std::fprintf(stderr,
                 "orvel stats: %llu frames, shortest period %u ms, mean period %.2f ms, mean frame time %.2f ms, "
                 "first frame %.0f ms after start%s%s%s%s%s\n",
                 static_cast<unsigned long long>(frames), shortestMs, meanMs, busyMs, double(firstStartUs) / 1000.0,
                 count, detail != nullptr ? ", " : "", detail != nullptr ? detail : "", note != nullptr ? ", " : "",
                 note != nullptr ? note : "");
}
