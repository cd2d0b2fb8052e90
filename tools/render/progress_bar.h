#pragma once
// A one-line progress bar on standard error, drawn only when standard error is a
// terminal, so logs and pipes stay clean.
#include <cstdint>

struct ProgressBar {
    bool active = false;
    std::int64_t total = 0;
    int shownPermille = -1;

    void start(std::int64_t totalFrames);
    // After `done` frames, the scene at `sceneSeconds`; redraws when the bar moved.
    void update(std::int64_t done, double sceneSeconds);
    // Ends the line.
    void finish();
};
