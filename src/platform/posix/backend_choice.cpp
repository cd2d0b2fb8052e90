// The choice of window system on Linux: see backend_choice.h.
#include "platform/posix/backend_choice.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/posix/program_beside.h"

namespace {

bool isSet(const char* value) { return value != nullptr && value[0] != '\0'; }

// The host option's name without one or two leading dashes, or null when it has none.
const char* optionName(const char* argument) {
    if (argument[0] != '-') return nullptr;
    return argument[1] == '-' ? argument + 2 : argument + 1;
}

enum class HostOptions { None, OwnWindow, XWindow };

// What the host options among the arguments ask for: an X window (the root window or
// one given by number) wins over the program's own window.
HostOptions hostOptions(int argc, char** argv) {
    HostOptions found = HostOptions::None;
    for (int i = 1; i < argc; ++i) {
        const char* name = optionName(argv[i]);
        if (name == nullptr) continue;
        if (std::strcmp(name, "root") == 0 || std::strcmp(name, "window-id") == 0) return HostOptions::XWindow;
        if (std::strcmp(name, "window") == 0) found = HostOptions::OwnWindow;
    }
    return found;
}

std::uint32_t decimal(const char* p) {
    std::uint32_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) value = value * 10u + std::uint32_t(*p - '0');
    return value;
}

// The window that the Windows switch names, 0 for none. The argument text is the
// arguments joined by single spaces, with the bytes up to 0x20 at its start passed over,
// as the entry passes over them after the program's name.
std::uint32_t switchWindow(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    const char* p = text.c_str();
    while (*p != '\0' && static_cast<unsigned char>(*p) <= 0x20) ++p;
    while (*p == ' ' || *p == '-' || *p == '/') ++p;
    switch (*p) {
        case 'P':
        case 'p':
        case 'L':
        case 'l':
        case 'A':
        case 'a':
            ++p;
            while (*p == ' ') ++p;
            return decimal(p);
        case 'C':
        case 'c':
            return p[1] == ':' ? decimal(p + 2) : 0;
        default:
            return 0;
    }
}

bool namesXWindow(int argc, char** argv, const char* xscreensaverWindow) {
    if (isSet(xscreensaverWindow)) return true;
    switch (hostOptions(argc, argv)) {
        case HostOptions::XWindow:
            return true;
        case HostOptions::OwnWindow:
            return false;
        case HostOptions::None:
            break;
    }
    return switchWindow(argc, argv) != 0;
}

}  // namespace

bool chooseWayland(int& argc, char** argv, const char* xscreensaverWindow, const char* waylandDisplay,
                   bool (*compositorReachable)(const char*)) {
    bool forceX11 = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--x11") == 0 || std::strcmp(argv[i], "-x11") == 0) {
            forceX11 = true;
        } else {
            argv[kept++] = argv[i];
        }
    }
    if (argc > 0) {
        argv[kept] = nullptr;
        argc = kept;
    }
    if (forceX11 || !isSet(waylandDisplay) || namesXWindow(argc, argv, xscreensaverWindow)) return false;
    return compositorReachable(waylandDisplay);
}

bool waylandSocketAccepts(const char* waylandDisplay) {
    std::string path = waylandDisplay;
    if (path[0] != '/') {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (!isSet(runtime)) return false;
        path = std::string(runtime) + "/" + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool accepted = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return accepted;
}

void startWaylandProgram(char** argv) {
    const std::string program = programBeside("orvel-wayland");
    std::fflush(nullptr);
    execv(program.c_str(), argv);
    std::fprintf(stderr, "orvel: cannot start %s; running on X11\n", program.c_str());
}
