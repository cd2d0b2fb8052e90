#pragma once
// Which window system the Linux program runs on. With a Wayland compositor reachable
// (WAYLAND_DISPLAY set and its socket accepting a connection), the Wayland program runs;
// the option --x11 (or -x11) forces X11; otherwise X11, as before. The X11 program asks
// this first thing and hands over to orvel-wayland, which lives beside it.

// Takes --x11 and -x11 out of argv (argc shrinks to match) and answers whether the
// Wayland program should run: false when the option was given. compositorReachable is
// asked only when needed, with the value of WAYLAND_DISPLAY.
bool chooseWayland(int& argc, char** argv, const char* waylandDisplay, bool (*compositorReachable)(const char*));

// Whether a compositor accepts a connection at WAYLAND_DISPLAY's socket (a name under
// XDG_RUNTIME_DIR, or an absolute path).
bool waylandSocketAccepts(const char* waylandDisplay);

// Replaces the process with orvel-wayland from the directory of the running program,
// with the same arguments; returns only when it cannot be started.
void startWaylandProgram(char** argv);
