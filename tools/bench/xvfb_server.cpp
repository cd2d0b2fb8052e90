#include "xvfb_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "child_wait.h"

bool startXvfb(int width, int height, XvfbServer& server, std::string& error) {
    int fds[2];
    if (pipe(fds) != 0) {
        error = "no pipe for Xvfb";
        return false;
    }
    char screen[32];
    std::snprintf(screen, sizeof screen, "%dx%d", width, height);
    char displayFd[16];
    std::snprintf(displayFd, sizeof displayFd, "%d", fds[1]);
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        error = "cannot fork for Xvfb";
        return false;
    }
    if (pid == 0) {
        close(fds[0]);
        // Quiet: Xvfb's start-up chatter is of no use here.
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, STDERR_FILENO);
        // The script the tests and the other tools start Xvfb with; it becomes the
        // server, so pid is the server's own. -br: a black root window.
        execlp("bash", "bash", ORVEL_XVFB_SCRIPT, displayFd, screen, "-br", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    server.pid = pid;

    std::string number;
    pollfd source{fds[0], POLLIN, 0};
    for (;;) {
        const int ready = poll(&source, 1, 15000);
        if (ready < 0 && errno == EINTR) continue;
        char c = 0;
        if (ready <= 0 || read(fds[0], &c, 1) != 1) break;
        if (c == '\n') break;
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        stopXvfb(server);
        error = "Xvfb did not start within 15 s (is it installed? Debian: apt-get install xvfb)";
        return false;
    }
    server.display = ":" + number;
    return true;
}

void stopXvfb(XvfbServer& server) {
    if (server.pid > 0) {
        endChild(server.pid, 5000);
        server.pid = -1;
    }
}
