// What the saver asks of the desktop on Wayland. There are no windows of other programs
// to find or draw in, and no active window to ask about: a running saver is found by its
// lock in $XDG_RUNTIME_DIR, held for as long as it runs, and a preview in a foreign
// window is refused with a line saying why. The screen is the box around every output
// (empty until the compositor has told their sizes).
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/wayland/wayland.h"
#include "platform/window_system.h"

namespace {

constexpr char SAVER_CLASS[] = "WindowsScreenSaverClass";
constexpr char SAVER_TITLE[] = "Screen Saver";
// Stands for the saver that another process runs; never one of this program's handles.
const WindowHandle OTHER_SAVER = reinterpret_cast<WindowHandle>(std::uintptr_t(0x0BE5));

int lockDescriptor = -1;

// True when another process holds the saver's lock; otherwise this process holds it
// from now on (the descriptor stays open until the process ends).
bool anotherSaverRuns() {
    if (lockDescriptor >= 0) return false;
    const char* directory = std::getenv("XDG_RUNTIME_DIR");
    if (directory == nullptr || directory[0] == '\0') return false;
    const char* display = std::getenv("WAYLAND_DISPLAY");
    std::string path = std::string(directory) + "/orvel-" + (display != nullptr ? display : "wayland-0") + ".lock";
    if (display != nullptr && display[0] == '/') path = std::string(directory) + "/orvel.lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return true;
    }
    lockDescriptor = fd;
    return false;
}

}  // namespace

bool platformIsWindow(WindowHandle window) {
    if (window == nullptr) return false;
    if (window == OTHER_SAVER || waylandFindHandle(window) != nullptr) return true;
    std::fprintf(stderr, "orvel: Wayland has no windows of other programs to draw in\n");
    return false;
}

WindowHandle platformFindWindow(const char* className, const char* title) {
    if (className == nullptr || title == nullptr) return nullptr;
    if (std::strcmp(className, SAVER_CLASS) != 0 || std::strcmp(title, SAVER_TITLE) != 0) return nullptr;
    return anotherSaverRuns() ? OTHER_SAVER : nullptr;
}

WindowHandle platformGetForegroundWindow() { return nullptr; }

// The compositor decides what is in front; a layer surface in the overlay layer already
// is, and the saver of another process cannot be raised from here.
void platformSetForegroundWindow(WindowHandle) {}

ScreenRect platformScreenRect() {
    if (waylandDisplay() == nullptr) return {0, 0, 0, 0};
    ScreenRect box{0, 0, 0, 0};
    bool any = false;
    for (const WaylandOutput& output : waylandOutputs) {
        if (!output.inUse || output.width <= 0 || output.height <= 0) continue;
        if (!any || output.x < box.left) box.left = output.x;
        if (!any || output.y < box.top) box.top = output.y;
        if (!any || output.x + output.width > box.right) box.right = output.x + output.width;
        if (!any || output.y + output.height > box.bottom) box.bottom = output.y + output.height;
        any = true;
    }
    return box;
}

CursorPos platformGetCursorPos() { return waylandCursorPosition(); }
