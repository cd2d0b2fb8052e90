#pragma once
// What the --x11 and --wine runs share: programs beside orvel-bench, a scratch
// directory, the machine's load, and min/median/max of a set of figures.
#include <string>
#include <vector>

#include "platform/posix/program_beside.h"  // ownProgramPath, programBeside

// A fresh directory /tmp/<stem>.XXXXXX, or "" when none can be made; removeTree deletes it.
std::string makeScratchDirectory(const char* stem);
void removeTree(const std::string& path);

// The first three fields of /proc/loadavg, e.g. "1.02 0.87 0.55".
std::string loadAverage();

struct Spread {
    double min;
    double median;  // of an even count, the mean of the middle two
    double max;
};

// The spread of values (not empty).
Spread spreadOf(std::vector<double> values);
