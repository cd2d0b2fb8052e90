// The Wayland program's start: the shared POSIX start, with argv kept for the settings
// dialog, which hands the same arguments to the X11 program.
#include "platform/posix_process.h"
#include "platform/program_start.h"
#include "platform/wayland/wayland.h"

namespace {

char** arguments = nullptr;

}  // namespace

void platformStart(int& argc, char** argv) {
    arguments = argv;
    posixStart(argc, argv);
}

char** waylandArguments() { return arguments; }
