#pragma once
// Runs another program, or this one again, and collects what it writes on standard output.
#include <string>
#include <vector>

#include "platform/posix/program_beside.h"  // ownProgramPath, programBeside

// Runs the program at path with args; its standard output ends up in output (bytes as
// written), its standard error goes to ours. Returns its exit code, 128 + the signal
// number when a signal ended it, or -1 when it could not be started.
int runProgram(const std::string& path, const std::vector<std::string>& args, std::string& output);
