#pragma once
// Mean and percentiles of a set of frame times.

struct FrameStats {
    double mean;
    double p50;
    double p95;
};

// Summarises count samples (count > 0); sorts them in place.
FrameStats summarizeFrames(double* samples, int count);
