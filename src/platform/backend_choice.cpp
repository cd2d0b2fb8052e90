// The choice of window system on Linux: see backend_choice.h.
#include "platform/backend_choice.h"

#include <limits.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

bool chooseWayland(int& argc, char** argv, const char* waylandDisplay, bool (*compositorReachable)(const char*)) {
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
    if (forceX11 || waylandDisplay == nullptr || waylandDisplay[0] == '\0') return false;
    return compositorReachable(waylandDisplay);
}

bool waylandSocketAccepts(const char* waylandDisplay) {
    std::string path = waylandDisplay;
    if (path[0] != '/') {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (runtime == nullptr || runtime[0] == '\0') return false;
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
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return;
    self[length] = '\0';
    std::string program(self);
    const std::size_t slash = program.rfind('/');
    program = program.substr(0, slash + 1) + "orvel-wayland";
    std::fflush(nullptr);
    execv(program.c_str(), argv);
    std::fprintf(stderr, "orvel: cannot start %s; running on X11\n", program.c_str());
}
