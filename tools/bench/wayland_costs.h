#pragma once
// orvel-bench --wayland's frame cost: the saver under headless sways of the bench's, with
// one, two and three outputs of one size side by side and with one output as wide as
// two and three of them, runs taken in turns. Each run gives the mean frame time of the
// ORVEL_STATS line and the process's CPU time per frame after a warm-up (orvel-probe's
// swap count, one swap an output a frame).
#include <string>
#include <vector>

#include "sway_server.h"
#include "wayland_setup.h"

struct CostLayout {
    int outputs;  // side by side
    int width;    // each
    int height;
    SwayServer sway;
};

// The layouts for outputs of width x height: 1, 2 and 3 of them, then one of 2 and of
// 3 widths.
std::vector<CostLayout> costLayouts(int width, int height);

struct CostRun {
    double frames = 0;
    double periodMs = 0;
    double frameMs = 0;     // ORVEL_STATS's mean frame time
    double cpuPerFrameMs = 0;
    double framesTimed = 0; // frames in the CPU time's window
    double fewestShown = 0; // frames shown on the output that showed fewest
    double allShown = 0;    // on all outputs together
    double wholeFrameMs = 0; // frameMs over the pictures shown, every output's once
};

// `turns` runs of each layout, in turns; runs[i] are layout i's. False when a run failed.
bool timeCosts(const WaylandSetup& setup, const std::vector<CostLayout>& layouts, int turns,
               std::vector<std::vector<CostRun>>& runs);

void printCosts(const std::vector<CostLayout>& layouts, const std::vector<std::vector<CostRun>>& runs);
