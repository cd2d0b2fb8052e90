// The configure dialog under a Wayland compositor. The dialog is drawn with Xlib: with an
// X display at hand (XWayland, named by DISPLAY), the program starts again as the X11
// program, which shows it; without one it says so and the dialog cannot be made.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/posix/program_beside.h"
#include "platform/wayland/wayland.h"

namespace {

// The X11 program beside this one (orvel-wayland lives next to orvel).
std::string x11Program() { return programBeside("orvel"); }

}  // namespace

std::intptr_t platformDialogBox(InstanceHandle, int, WindowHandle, DialogProc) {
    const char* x11Display = std::getenv("DISPLAY");
    if (x11Display == nullptr || x11Display[0] == '\0') {
        std::fprintf(stderr, "orvel: the settings dialog needs an X display (XWayland); DISPLAY is not set\n");
        return -1;
    }
    const std::string program = x11Program();
    std::vector<char*> arguments;
    arguments.push_back(const_cast<char*>(program.c_str()));
    char x11Option[] = "--x11";
    arguments.push_back(x11Option);
    char** given = waylandArguments();
    for (int i = 1; given != nullptr && given[i] != nullptr; ++i) arguments.push_back(given[i]);
    arguments.push_back(nullptr);
    std::fflush(nullptr);
    execv(program.c_str(), arguments.data());
    std::fprintf(stderr, "orvel: cannot start %s for the settings dialog\n", program.c_str());
    return -1;
}

LRESULT platformSendDlgItemMessage(WindowHandle, int, std::uint32_t, WPARAM, LPARAM) { return 0; }

void platformEndDialog(WindowHandle, std::intptr_t) {}
