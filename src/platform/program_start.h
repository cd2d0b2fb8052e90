#pragma once
// What the program's entry on Linux hands the window system before the saver runs, and
// the windows that a host (xscreensaver, or the window mode) gives the saver to draw in.
// Windows starts its programs itself and has none of this.
#include "platform/handles.h"

// Keeps the arguments for platformCommandLine (the program name, then argv[1..] joined by
// single spaces), starts the clock of the statistics line and sets up the signals: SIGTERM
// and SIGINT end the saver as a close request would, and a broken pipe to the display
// server is reported as a lost server rather than killing the process.
// On X11 it first chooses the window system (platform/posix/backend_choice.h): the Wayland
// program replaces this one when a compositor is reachable and no X window is named, and
// --x11 is taken out of argv (argc follows).
void platformStart(int& argc, char** argv);

// A few words that end the ORVEL_STATS line, such as the detail level; null for none.
void platformSetStatsNote(const char* (*note)());

// The root window of the display's default screen; null without a display (a line on
// standard error has said why).
WindowHandle platformRootWindow();

// An ordinary top-level window of the program's own, mapped: resizable, width by height,
// named title, with the program's icon, and black until something draws in it. The
// window manager's close button closes the windows inside it. Null without a display.
WindowHandle platformOpenOwnWindow(const char* title, int width, int height);
