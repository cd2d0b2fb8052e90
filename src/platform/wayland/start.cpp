// The Wayland program's start: the shared POSIX start, with argv kept for the settings
// dialog, which hands the same arguments to the X11 program, and the program's own part
// of the ORVEL_STATS line: when every output was covered, and each output's buffer and
// the frames shown on it.
#include <cstdio>

#include "platform/posix/process.h"
#include "platform/program_start.h"
#include "platform/wayland/wayland.h"

namespace {

char** arguments = nullptr;

const char* statsDetail() {
    static char text[64 + OUTPUT_CAPACITY * 64];
    // Covering often takes well under a millisecond; never covered, the part is left out.
    const std::uint64_t covered = waylandCoveredMicroseconds();
    int length = covered != 0 ? std::snprintf(text, sizeof text, "covered %.1f ms after start", double(covered) / 1000.0)
                              : std::snprintf(text, sizeof text, "not covered");
    for (const WaylandOutput& output : waylandOutputs) {
        if (!output.inUse || output.shown == 0 || length >= int(sizeof text)) continue;
        length += std::snprintf(text + length, sizeof text - std::size_t(length), ", %s buffer %dx%d shown %u",
                                output.label[0] != '\0' ? output.label : "output", output.shownWidth,
                                output.shownHeight, output.shown);
    }
    return text;
}

}  // namespace

void platformStart(int& argc, char** argv) {
    arguments = argv;
    posixStart(argc, argv);
    posixSetStatsDetail(statsDetail);
}

char** waylandArguments() { return arguments; }
