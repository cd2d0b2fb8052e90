// The program's entry on X11 systems: main hands its arguments to the platform layer,
// which makes the command line of them, and runs the saver's own entry.
#include "platform/x11_start.h"
#include "saver/saver_state.h"
#include "shell/saver_main.h"

namespace {

// The end of the ORVEL_STATS line: the detail level the settings file chose.
const char* detailNote() { return lowDetail ? "detail low" : "detail normal"; }

}  // namespace

int main(int argc, char** argv) {
    x11Start(argc, argv);
    x11SetStatsNote(detailNote);
    saverEntry();
}
