#pragma once
// What the parts of orvel-bench --wayland share: the programs, the scratch directory, and
// the environment and readings of a run of the saver.
#include <sys/types.h>

#include <string>
#include <vector>

struct WaylandSetup {
    std::string orvel;    // orvel-wayland
    std::string floor;    // orvel-floor-wayland
    std::string probe;    // orvel-probe.so
    std::string scratch;  // the bench's directory in /tmp
};

// The saver's environment on a compositor: its runtime directory and socket, a settings
// folder of the bench's, and ORVEL_STATS=1.
std::vector<std::string> waylandEnvironment(const WaylandSetup& setup, const std::string& runtime,
                                            const std::string& display);

// The process's CPU time so far, user and system, in ms (from /proc/PID/stat), or -1.
double processCpuMs(pid_t pid);

// The running swap count orvel-probe keeps in a file (ORVEL_PROBE_SWAP_FILE), 0 before
// the first swap.
double swapCount(const std::string& path);

// Prints a program's standard error, indented, after a failed run.
void showErrors(const std::string& path);

// Sleeps for ms milliseconds.
void pauseMs(int ms);
