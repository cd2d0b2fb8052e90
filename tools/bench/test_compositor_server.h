#pragma once
// The Wayland end-to-end cases' own small compositor (orvel-wayland-compositor, built with
// the tests) for orvel-bench --wayland: the one compositor here that can keep an output
// from ever asking for a frame (--hold-frames). It shows nothing and writes a line for
// each buffer a client commits; orvel-bench reads those from a file.
#include <sys/types.h>

#include <string>
#include <vector>

struct TestCompositor {
    pid_t pid = -1;
    int commandFd = -1;    // its standard input: closing it ends the compositor
    std::string runtime;   // XDG_RUNTIME_DIR
    std::string display;   // WAYLAND_DISPLAY
    std::string report;    // the file its lines go to
};

// Where the build puts it beside orvel-bench, or "" when it was not built.
std::string testCompositorPath();

// Starts it in dir with args (its options and outputs). False, with error set, when it
// does not come up.
bool startTestCompositor(const std::string& dir, const std::vector<std::string>& args, TestCompositor& server,
                         std::string& error);

// Ends it and waits for it.
void stopTestCompositor(TestCompositor& server);
