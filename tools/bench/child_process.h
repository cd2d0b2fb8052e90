#pragma once
// Runs this same program again in a child process, so that a measurement that builds
// global state starts from a fresh process every time.
#include <string>
#include <vector>

// Runs this program with args and collects its standard output line by line (without
// the newlines); its standard error goes to ours. Returns its exit code, 128 + the
// signal number when a signal ended it, or -1 when it could not be started.
int runSelf(const std::vector<std::string>& args, std::vector<std::string>& lines);
