#pragma once
// The start of the program on X11: what main hands the platform layer before the saver
// runs, and the exit code of an X server that went away.
//
// Exit codes of the X11 program: the saver's own (0 after a normal end, 255 for a refused
// switch, a missing window or a display that cannot be opened), and this one.
inline constexpr int X11_LOST_SERVER_EXIT_CODE = 2;

// Keeps the arguments for platformCommandLine (the program name, then argv[1..] joined by
// single spaces), starts the clock of the statistics line and sets up the signals: SIGTERM
// and SIGINT end the saver as a close request would, and a broken pipe to the X server
// is reported by Xlib rather than killing the process.
void x11Start(int argc, char** argv);

// A few words that end the ORVEL_STATS line, such as the detail level; null for none.
void x11SetStatsNote(const char* (*note)());
