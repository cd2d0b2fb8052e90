// The XDG configuration directory. A relative or empty XDG_CONFIG_HOME is ignored, as the
// XDG rules ask; so is a relative HOME, which would put the settings wherever the program
// happened to be started.
#include "platform/posix/settings_location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace {

bool isAbsolutePath(const char* path) { return path != nullptr && path[0] == '/'; }

}  // namespace

std::string xdgSettingsDirectory() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (isAbsolutePath(configHome)) {
        return configHome;
    }
    const char* home = std::getenv("HOME");
    if (!isAbsolutePath(home)) {
        const passwd* entry = getpwuid(getuid());
        home = entry != nullptr ? entry->pw_dir : nullptr;
    }
    if (!isAbsolutePath(home)) {
        return {};
    }
    std::string directory = home;
    if (directory.back() != '/') {
        directory += '/';
    }
    return directory + ".config";
}
