#pragma once
// Starts a program for a timed run: fork, then exec with the CLOCK_MONOTONIC time taken
// in the child right before execve handed over in ORVEL_PROBE_LAUNCH_NS, so that the
// probe measures from the exec itself.
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

struct LaunchedProgram {
    pid_t pid = -1;
    int reportFd = -1;  // the read end of the probe's report pipe, or -1
    std::uint64_t launchNs = 0;  // taken in the parent right before fork
};

// Runs path with args (argv[0] included) in this environment with the extra NAME=value
// entries in place of any of the same names; standard output goes to /dev/null and
// standard error to stderrPath. With reportPipe, the child's descriptor 3 is the write
// end of a pipe whose read end the result keeps. False when it cannot be started.
bool launchProgram(const std::string& path, const std::vector<std::string>& args,
                   const std::vector<std::string>& extraEnvironment, const std::string& stderrPath,
                   bool reportPipe, LaunchedProgram& launched);

// Reads one line (without its newline) from fd, waiting at most timeoutMs in all. False
// on a timeout, or at the end of the input before a newline.
bool readLine(int fd, int timeoutMs, std::string& line);

// CLOCK_MONOTONIC in nanoseconds.
std::uint64_t monotonicNs();
