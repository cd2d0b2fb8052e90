#include "sway_server.h"

#include <unistd.h>

#include <cstdio>
#include <sstream>

#include "child_wait.h"
#include "program_launch.h"

bool startSway(const std::string& dir, int outputs, int width, int height, SwayServer& server, std::string& error) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    LaunchedProgram launched;
    // The script writes its line on descriptor 3, the launcher's report pipe.
    if (!launchProgram("/bin/bash", {"bash", ORVEL_SWAY_SCRIPT, "3", dir, std::to_string(outputs), size}, {},
                       dir + "/sway-script.err", true, launched)) {
        error = "cannot start " ORVEL_SWAY_SCRIPT;
        return false;
    }
    server.pid = launched.pid;
    std::string line;
    const bool reported = readLine(launched.reportFd, 20000, line);
    close(launched.reportFd);
    std::istringstream in(line);
    in >> server.runtime >> server.display >> server.ipcSocket;
    if (!reported || in.fail()) {
        stopSway(server);
        error = "sway did not come up (is it installed? Debian: apt-get install sway); see " + dir + "/sway.log";
        return false;
    }
    return true;
}

void stopSway(SwayServer& server) {
    if (server.pid > 0) {
        endChild(server.pid, 5000);
        server.pid = -1;
    }
}
