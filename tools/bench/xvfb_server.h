#pragma once
// An Xvfb of orvel-bench's own for the --x11 and --wine runs, started as the tests and
// the other tools start theirs (tests/e2e/servers/xvfb.sh): on a free display number, which
// Xvfb picks and reports through -displayfd, with a black root window.
#include <sys/types.h>

#include <string>

struct XvfbServer {
    pid_t pid = -1;
    std::string display;  // ":N"
};

// Starts it with one screen of width x height at 24 bits. False, with error set, when
// Xvfb cannot be started or names no display within 15 s.
bool startXvfb(int width, int height, XvfbServer& server, std::string& error);

// Ends it (SIGTERM, then SIGKILL after 5 s) and waits for it.
void stopXvfb(XvfbServer& server);
