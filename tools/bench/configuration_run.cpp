#include "configuration_run.h"

#include <GL/gl.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <cstdio>

#include "allocation_counter.h"
#include "allocation_origin.h"
#include "frame/frame_driver.h"
#include "frame_stats.h"
#include "headless_scene.h"
#include "report_format.h"
#include "frame/scene_globals.h"
#include "platform/headless/headless.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double STEADY_SCENE_TIME = 45.0;

// Static, so the measuring loop allocates nothing of its own.
double submitSamples[TIMED_FRAMES];
double cpuSamples[TIMED_FRAMES];
double totalSamples[TIMED_FRAMES];

struct FrameTiming {
    double submitMs;
    double cpuMs;  // CPU time of this thread in runFrame: time it was not running is left out
    double totalMs;
    AllocationCounts allocations;
};

double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

// Runs frame k (from 0) with the clock at floor(k * 1000 / 60) ms, so it steps by 16 or
// 17 ms a frame without drift, and times it with and without waiting for the GPU.
FrameTiming timeFrame(WindowHandle window, int k) {
    headlessSetTickCount(virtualTick(k, CLOCK_FPS));
    const AllocationCounts allocationsBefore = allocationCounts();
    const double cpuStart = threadCpuMs();
    const Clock::time_point start = Clock::now();
    runFrame(window);
    const Clock::time_point submitted = Clock::now();
    const double cpuEnd = threadCpuMs();
    const AllocationCounts allocationsAfter = allocationCounts();
    glFinish();
    const Clock::time_point finished = Clock::now();
    return {msBetween(start, submitted), cpuEnd - cpuStart, msBetween(start, finished),
            allocationsAfter - allocationsBefore};
}

struct ConfigurationResult {
    FrameStats submit;
    FrameStats cpu;
    FrameStats total;
    FrameTiming hugeStep;
    AllocationCounts firstFrame;
    AllocationCounts laterFrames;
    HeapUse afterSetup;
    HeapUse afterFrames;
};

// Frame 1, the rest of the warm-up, the timed frames, then one frame after a huge step.
// From the second frame on the scene runs from 45 s of scene time.
ConfigurationResult measureFrames(WindowHandle window) {
    ConfigurationResult result{};
    int k = 0;
    result.firstFrame = timeFrame(window, k++).allocations;
    // Time the steady scene, past the title, the fade-in and the rate text of the start.
    sceneTime = STEADY_SCENE_TIME;
    while (k < WARM_UP_FRAMES) {
        result.laterFrames += timeFrame(window, k++).allocations;
    }
    for (int i = 0; i < TIMED_FRAMES; ++i) {
        const FrameTiming timing = timeFrame(window, k++);
        submitSamples[i] = timing.submitMs;
        cpuSamples[i] = timing.cpuMs;
        totalSamples[i] = timing.totalMs;
        result.laterFrames += timing.allocations;
    }
    frameSeconds = HUGE_STEP_SECONDS;
    result.hugeStep = timeFrame(window, k++);
    result.laterFrames += result.hugeStep.allocations;
    result.submit = summarizeFrames(submitSamples, TIMED_FRAMES);
    result.cpu = summarizeFrames(cpuSamples, TIMED_FRAMES);
    result.total = summarizeFrames(totalSamples, TIMED_FRAMES);
    return result;
}

// One row per table, under its headings or, for the parent process, tagged.
void printResult(const BenchOptions& options, const ConfigurationResult& result) {
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (options.rowsOnly) {
        std::printf("%s|%s\n", RENDERER_TAG, renderer != nullptr ? renderer : "?");
    } else {
        std::printf("GL renderer: %s\n\n", renderer != nullptr ? renderer : "?");
    }
    const int w = options.width;
    const int h = options.height;
    const bool low = options.low;
    for (int i = 0; i < REPORT_TABLE_COUNT; ++i) {
        const ReportTable table = ReportTable(i);
        char prefix[16] = "";
        if (options.rowsOnly) {
            std::snprintf(prefix, sizeof prefix, "%s|", reportTag(table));
        } else {
            printReportHeader(stdout, table);
        }
        switch (table) {
        case ReportTable::frameCost:
            printFrameCostRow(stdout, prefix, w, h, low, result.submit, result.cpu, result.total);
            break;
        case ReportTable::hugeStep:
            printHugeStepRow(stdout, prefix, w, h, low, result.hugeStep.submitMs, result.hugeStep.totalMs);
            break;
        case ReportTable::allocations:
            printAllocationRow(stdout, prefix, w, h, low, result.firstFrame, result.laterFrames);
            break;
        case ReportTable::heap:
            printHeapRow(stdout, prefix, w, h, low, result.afterSetup, result.afterFrames);
            break;
        }
        if (!options.rowsOnly) {
            std::printf("\n");
        }
    }
}

}  // namespace

int runConfiguration(const BenchOptions& options) {
    prepareAllocationOrigins();
    WindowHandle window = startHeadlessScene(options.width, options.height, options.low);
    const HeapUse afterSetup = heapUse();
    if (window == nullptr) {
        std::fprintf(stderr,
                     "orvel-bench: no EGL display or OpenGL context: the benchmark needs Mesa's "
                     "surfaceless EGL platform with desktop OpenGL (libegl-mesa0, libgl1-mesa-dri)\n");
        return EXIT_NO_CONTEXT;
    }

    ConfigurationResult result = measureFrames(window);
    result.afterSetup = afterSetup;
    result.afterFrames = heapUse();
    printResult(options, result);

    const AllocationCounts& later = result.laterFrames;
    if (later.programNew != 0 || later.programDelete != 0) {
        std::printf("%s%sFAIL: %dx%d %s: Orvel's code called operator new %llu times and operator delete "
                    "%llu times in frames 2..%d; there must be none\n",
                    options.rowsOnly ? FAIL_TAG : "", options.rowsOnly ? "|" : "", options.width, options.height,
                    options.low ? "low" : "full", static_cast<unsigned long long>(later.programNew),
                    static_cast<unsigned long long>(later.programDelete), TOTAL_FRAMES);
        return EXIT_ALLOCATED;
    }
    return EXIT_OK;
}
