// The program's entry on Linux, for the X11 program (orvel) and the Wayland one
// (orvel-wayland) alike. main hands its arguments to the platform layer, which makes the
// command line of them. The options of hosts that hand the saver a window
// (xscreensaver's -root and -window-id) and the window mode are read first: they run the
// saver as the preview mode does, in a child over the whole of that window, with input
// and the cursor left to the host. Any other command line goes to the saver's own entry
// and its Windows switches, unchanged.
#include <cstdio>
#include <cstdlib>

#include "platform/program_start.h"
#include "platform/system_services.h"
#include "platform/window_system.h"
#include "saver/saver_state.h"
#include "shell/host_arguments.h"
#include "shell/saver_main.h"

namespace {

constexpr char OWN_WINDOW_TITLE[] = "Orvel";
constexpr int OWN_WINDOW_WIDTH = 800;
constexpr int OWN_WINDOW_HEIGHT = 600;

// The end of the ORVEL_STATS line: the detail level the settings file chose.
const char* detailNote() { return lowDetail ? "detail low" : "detail normal"; }

std::uint32_t numberOf(WindowHandle window) { return std::uint32_t(reinterpret_cast<std::uintptr_t>(window)); }

// The window to draw in, made first in the window mode; null, after a line on standard
// error, when there is none.
WindowHandle hostWindow(const HostRequest& request) {
    switch (request.mode) {
        case HostMode::GivenWindow: {
            if (platformRootWindow() == nullptr) return nullptr;  // no display
            WindowHandle window = reinterpret_cast<WindowHandle>(std::uintptr_t(request.window));
            if (platformIsWindow(window)) return window;
            std::fprintf(stderr, "orvel: there is no window 0x%lx on the display\n",
                         static_cast<unsigned long>(request.window));
            return nullptr;
        }
        case HostMode::RootWindow:
            return platformRootWindow();
        case HostMode::OwnWindow:
            return platformOpenOwnWindow(OWN_WINDOW_TITLE, OWN_WINDOW_WIDTH, OWN_WINDOW_HEIGHT);
        case HostMode::None:
        case HostMode::Refused:
            break;
    }
    return nullptr;
}

// The saver in the host's window, through the preview mode's own path; -1 when the
// request is refused or names no window.
std::int32_t runHosted(const HostRequest& request) {
    if (request.mode == HostMode::Refused) {
        std::fprintf(stderr, "orvel: %s\n", request.error.c_str());
        return -1;
    }
    for (const std::string& argument : request.ignored) {
        std::fprintf(stderr, "orvel: ignoring \"%s\"\n", argument.c_str());
    }
    WindowHandle host = hostWindow(request);
    if (host == nullptr) return -1;
    char arguments[32];
    std::snprintf(arguments, sizeof arguments, "/p %lu", static_cast<unsigned long>(numberOf(host)));
    return saverMain(platformModuleHandle(), arguments);
}

}  // namespace

int main(int argc, char** argv) {
    platformStart(argc, argv);
    platformSetStatsNote(detailNote);
    const HostRequest request = parseHostArguments(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
    if (request.mode == HostMode::None) saverEntry();
    platformExitProcess(runHosted(request));
}
