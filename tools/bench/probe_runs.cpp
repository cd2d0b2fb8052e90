#include "probe_runs.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "run_support.h"

namespace {

constexpr const char* MARK_NAMES[PROBE_MARK_COUNT] = {
    "libraries loaded (the probe's constructor)",
    "main entered",
    "display opened (XOpenDisplay, wl_display_connect)",
    "Mesa's driver: its dlopen called",
    "Mesa's driver: its dlopen returned",
    "GL context made (glXCreateContext, eglCreateContext)",
    "GL context current (glXMakeCurrent, eglMakeCurrent)",
    "window mapped (X11: XMapRaised returned)",
    "every output covered (Wayland: first buffer sent)",
    "first frame presented (the first swap returned)",
    "first frame on every output (swap N of N outputs)",
};

double ms(std::int64_t ns) { return double(ns) / 1e6; }

// The values of one mark over the runs that reached it.
std::vector<double> markValues(const std::vector<ProbeReport>& runs, int m) {
    std::vector<double> values;
    for (const ProbeReport& run : runs) {
        if (run.marks[m] >= 0) values.push_back(ms(run.marks[m]));
    }
    return values;
}

}  // namespace

bool parseReport(const std::string& line, ProbeReport& report) {
    std::istringstream in(line);
    std::string tag;
    in >> tag;
    if (tag != PROBE_REPORT_TAG) return false;
    for (std::int64_t& m : report.marks) in >> m;
    for (auto& period : report.counts) {
        for (auto& kind : period) in >> kind[0] >> kind[1];
    }
    for (std::uint64_t& place : report.places) in >> std::hex >> place;
    return !in.fail();
}

double statsFigure(const std::string& stderrPath, const char* label) {
    std::ifstream in(stderrPath);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t at = line.find(label);
        if (line.rfind("orvel stats:", 0) == 0 && at != std::string::npos) {
            return std::atof(line.c_str() + at + std::string(label).size());
        }
    }
    return -1.0;
}

void printStartup(const char* program, const std::vector<ProbeReport>& runs, const std::vector<OwnFigure>& own) {
    std::printf("Start-up of %s, ms from exec (%zu runs)\n", program, runs.size());
    std::printf("%-52s %8s %8s %8s   %s\n", "reached", "min", "median", "max", "median step");
    for (int m = 0; m < PROBE_MARK_COUNT; ++m) {
        // A step runs from the latest mark reached before it: some marks (an output
        // covered) come before others listed above them.
        std::vector<double> steps;
        for (const ProbeReport& run : runs) {
            if (run.marks[m] < 0) continue;
            std::int64_t before = 0;
            for (int p = 0; p < PROBE_MARK_COUNT; ++p) {
                const bool earlier = run.marks[p] < run.marks[m] || (run.marks[p] == run.marks[m] && p < m);
                if (p != m && run.marks[p] >= 0 && earlier && run.marks[p] > before) before = run.marks[p];
            }
            steps.push_back(ms(run.marks[m] - before));
        }
        const std::vector<double> values = markValues(runs, m);
        if (values.empty()) {
            std::printf("%-52s %8s %8s %8s\n", MARK_NAMES[m], "-", "-", "-");
            continue;
        }
        const Spread s = spreadOf(values);
        std::printf("%-52s %8.1f %8.1f %8.1f   %+8.1f\n", MARK_NAMES[m], s.min, s.median, s.max,
                    spreadOf(steps).median);
    }
    for (const OwnFigure& figure : own) {
        std::vector<double> values;
        for (double value : figure.values) {
            if (value >= 0) values.push_back(value);
        }
        if (values.empty()) continue;
        const Spread s = spreadOf(values);
        std::printf("%-52s %8.1f %8.1f %8.1f\n", figure.label, s.min, s.median, s.max);
    }
    std::printf("first frame presented, each run:");
    for (const ProbeReport& run : runs) std::printf(" %.1f", ms(run.marks[PROBE_FIRST_SWAP]));
    std::printf("\n\n");
}

void printAgainstFloor(const char* floor, const std::vector<ProbeReport>& orvel, const std::vector<ProbeReport>& floorRuns) {
    std::printf("Against the floor, %s, in turns with Orvel (%zu runs each), medians in ms from exec\n", floor,
                floorRuns.size());
    std::printf("%-52s %8s %8s %8s\n", "reached", "Orvel", "floor", "Orvel-floor");
    for (int m = 0; m < PROBE_MARK_COUNT; ++m) {
        const std::vector<double> a = markValues(orvel, m);
        const std::vector<double> b = markValues(floorRuns, m);
        if (a.empty() || b.empty()) continue;
        const double am = spreadOf(a).median;
        const double bm = spreadOf(b).median;
        std::printf("%-52s %8.1f %8.1f %+8.1f\n", MARK_NAMES[m], am, bm, am - bm);
    }
    for (const int m : {int(PROBE_COVERED), int(PROBE_FIRST_SWAP)}) {
        std::vector<double> differences;
        for (std::size_t i = 0; i < orvel.size() && i < floorRuns.size(); ++i) {
            if (orvel[i].marks[m] >= 0 && floorRuns[i].marks[m] >= 0) {
                differences.push_back(ms(orvel[i].marks[m] - floorRuns[i].marks[m]));
            }
        }
        if (differences.empty()) continue;
        const Spread s = spreadOf(differences);
        std::printf("%s, Orvel's run less the floor's next run: median %+.1f (min %+.1f, max %+.1f)\n",
                    m == PROBE_COVERED ? "covered" : "first frame", s.median, s.min, s.max);
    }
    std::printf("floor's first frame presented, each run:");
    for (const ProbeReport& run : floorRuns) std::printf(" %.1f", ms(run.marks[PROBE_FIRST_SWAP]));
    std::printf("\n\n");
}
