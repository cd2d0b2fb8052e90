#include "progress_bar.h"

#include <unistd.h>

#include <cstdio>

namespace {
constexpr int BAR_WIDTH = 30;
}

void ProgressBar::start(std::int64_t totalFrames) {
    active = isatty(STDERR_FILENO) == 1;
    total = totalFrames;
    shownPermille = -1;
}

void ProgressBar::update(std::int64_t done, double sceneSeconds) {
    if (!active || total <= 0) {
        return;
    }
    const int permille = int(done * 1000 / total);
    if (permille == shownPermille) {
        return;
    }
    shownPermille = permille;
    char bar[BAR_WIDTH + 1];
    const int filled = permille * BAR_WIDTH / 1000;
    for (int i = 0; i < BAR_WIDTH; ++i) {
        bar[i] = i < filled ? '#' : '.';
    }
    bar[BAR_WIDTH] = '\0';
    std::fprintf(stderr, "\r[%s] %5.1f%%  frame %lld/%lld  T = %.2f s ", bar, permille / 10.0,
                 static_cast<long long>(done), static_cast<long long>(total), sceneSeconds);
    std::fflush(stderr);
}

void ProgressBar::finish() {
    if (active) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    active = false;
}
