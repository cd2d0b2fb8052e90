#pragma once
// What the --x11 and --wayland runs share: the probe's report line, the "first frame"
// figure of the ORVEL_STATS line, and the start-up tables, Orvel's steps and Orvel
// against its floor (a minimal client of the same backend timed the same way).
#include <cstdint>
#include <string>
#include <vector>

#include "probe_report.h"

struct ProbeReport {
    std::int64_t marks[PROBE_MARK_COUNT];
    std::uint64_t counts[PROBE_PERIOD_COUNT][PROBE_KIND_COUNT][2];  // [..][..][0 Orvel, 1 libraries]
    std::uint64_t places[PROBE_PLACE_COUNT];
};

// The probe's line (PROBE_REPORT_TAG first); false when it is not one.
bool parseReport(const std::string& line, ProbeReport& report);

// A figure of the ORVEL_STATS line in the program's standard error: the number after
// `label` (e.g. "first frame "), or -1.
double statsFigure(const std::string& stderrPath, const char* label);

// A figure the program reports itself (its ORVEL_STATS line), one value a run; negative
// where a run gave none.
struct OwnFigure {
    const char* label;
    std::vector<double> values;
};

// The marks of runs, in ms from exec: min, median and max of each step and the median
// step from the latest mark before it; then the program's own figures.
void printStartup(const char* program, const std::vector<ProbeReport>& runs, const std::vector<OwnFigure>& own);

// Orvel's runs against the floor's, taken in turns: the median of each step both reach,
// and the difference of the covered moment and of the first frame, run by run.
void printAgainstFloor(const char* floor, const std::vector<ProbeReport>& orvel, const std::vector<ProbeReport>& floorRuns);
