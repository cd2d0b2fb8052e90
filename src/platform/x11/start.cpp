// The X11 program's start: the choice of the window system first (the Wayland program
// replaces this one when a compositor is reachable and no X window is named), then the
// shared POSIX start, and the X errors nobody expected counted on the ORVEL_STATS line.
#include <cstdlib>

#include "platform/posix/backend_choice.h"
#include "platform/posix/process.h"
#include "platform/program_start.h"
#include "platform/x11/display.h"

void platformStart(int& argc, char** argv) {
    if (chooseWayland(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), std::getenv("WAYLAND_DISPLAY"),
                      waylandSocketAccepts)) {
        startWaylandProgram(argv);
    }
    posixStart(argc, argv);
    posixSetStatsCount("X errors", x11UntrappedErrorCount);
}
