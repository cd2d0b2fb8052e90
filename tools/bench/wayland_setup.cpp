#include "wayland_setup.h"

#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

std::vector<std::string> waylandEnvironment(const WaylandSetup& setup, const std::string& runtime,
                                            const std::string& display) {
    return {"XDG_RUNTIME_DIR=" + runtime, "WAYLAND_DISPLAY=" + display, "XDG_CONFIG_HOME=" + setup.scratch + "/config",
            "ORVEL_STATS=1"};
}

double processCpuMs(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos) return -1;
    // After the name: state, then fields 4 to 13, then utime and stime (fields 14, 15).
    std::istringstream fields(text.substr(nameEnd + 1));
    std::string skipped;
    for (int field = 3; field <= 13; ++field) fields >> skipped;
    double user = 0, system = 0;
    if (!(fields >> user >> system)) return -1;
    return (user + system) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

double swapCount(const std::string& path) {
    std::ifstream in(path);
    double count = 0;
    return in >> count ? count : 0;
}

void showErrors(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) std::fprintf(stderr, "  %s\n", line.c_str());
}

void pauseMs(int ms) {
    timespec rest{ms / 1000, long(ms % 1000) * 1000000L};
    while (nanosleep(&rest, &rest) != 0) {
    }
}
