#include "frame_stats.h"

#include <algorithm>
#include <cmath>

namespace {

// Nearest-rank percentile of sorted samples: the smallest sample with at least the
// fraction p of all samples at or below it.
double percentile(const double* sorted, int count, double p) {
    int rank = int(std::ceil(p * count));
    rank = std::clamp(rank, 1, count);
    return sorted[rank - 1];
}

}  // namespace

FrameStats summarizeFrames(double* samples, int count) {
    std::sort(samples, samples + count);
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        sum += samples[i];
    }
    return {sum / count, percentile(samples, count, 0.50), percentile(samples, count, 0.95)};
}
