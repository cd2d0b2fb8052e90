// The running program's file and its neighbours: see program_beside.h.
#include "platform/posix/program_beside.h"

#include <limits.h>
#include <unistd.h>

namespace {

bool readOwnPath(std::string& path) {
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self);
    if (length <= 0 || std::size_t(length) >= sizeof self) return false;
    path.assign(self, std::size_t(length));
    return true;
}

}  // namespace

std::string ownProgramPath() {
    std::string path;
    return readOwnPath(path) ? path : std::string("/proc/self/exe");
}

std::string programBeside(const char* name) {
    std::string path;
    if (!readOwnPath(path)) return name;
    return path.substr(0, path.rfind('/') + 1) + name;
}
