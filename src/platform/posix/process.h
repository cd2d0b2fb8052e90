#pragma once
// What the X11 and the Wayland programs share as POSIX processes: the command line made
// from argv, the signals that ask the saver to end and the pipe that wakes the message
// loop for them, the monotonic clock, and the ORVEL_STATS line. Each backend's
// platformStart calls posixStart; the calls of platform.h, system_services.h and
// program_start.h that need no window system are defined with these (start.cpp,
// system.cpp, stats.cpp beside this file), apart from platformStart and platformMessageBox.
#include <cstdint>

// Keeps the command line (the program name, then argv[1..] joined by single spaces),
// starts the clock and sets up the signals: SIGTERM and SIGINT set the end flag and wake
// the loop, and SIGPIPE is ignored so that a write to a display server that went away
// fails with EPIPE, which the backend reports as a lost server, instead of killing the
// process without a word.
void posixStart(int argc, char** argv);

// The command line made by posixStart.
const char* posixCommandLine();

// Signals that ask the saver to end (SIGTERM, SIGINT) set a flag and wake the message
// loop through this pipe's read end (-1 when there is no pipe).
bool posixEndRequested();
int posixWakeDescriptor();
void posixDrainWakeDescriptor();

// Microseconds on the monotonic clock since posixStart.
std::uint64_t posixMicroseconds();

// Statistics for ORVEL_STATS: every frame start is noted when a paint request is handed
// out, the frame's end when the backend has shown its picture (its buffer swap
// returned), and the line is written once, as the process ends. A backend may add a
// count of its own to the line, such as the X errors nobody expected: "<count> <what>".
void posixNoteFrameStart();
void posixNoteFrameShown();
void posixSetStatsCount(const char* what, unsigned (*count)());
// The backend's details for the line, such as what each output was shown, as text made
// when the line is written.
void posixSetStatsDetail(const char* (*detail)());
void posixWriteStats();
