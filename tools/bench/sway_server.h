#pragma once
// A headless sway of orvel-bench's own for the --wayland runs, started by the script the
// tools share (tests/e2e/servers/sway.sh): its outputs side by side, all of one size, in a
// scratch directory; as nobody when orvel-bench runs as root. The programs it times run
// as orvel-bench's own user, with the runtime directory and socket named here.
#include <sys/types.h>

#include <string>

struct SwayServer {
    pid_t pid = -1;           // the script's, which ends sway as it ends
    std::string runtime;      // XDG_RUNTIME_DIR
    std::string display;      // WAYLAND_DISPLAY
    std::string ipcSocket;    // SWAYSOCK
};

// Starts it in dir with outputs outputs of width x height. False, with error set, when it
// does not come up.
bool startSway(const std::string& dir, int outputs, int width, int height, SwayServer& server, std::string& error);

// Ends it and waits for it.
void stopSway(SwayServer& server);
