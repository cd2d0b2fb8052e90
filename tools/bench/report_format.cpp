#include "report_format.h"

#include <cstring>

#include "configuration_run.h"

namespace {

unsigned long long ull(std::uint64_t value) { return value; }

constexpr const char* TAGS[REPORT_TABLE_COUNT] = {"cost", "step", "alloc", "heap"};

void printConfiguration(std::FILE* out, const char* prefix, int width, int height, bool low) {
    char size[32];
    std::snprintf(size, sizeof size, "%dx%d", width, height);
    std::fprintf(out, "%s%-10s %-6s", prefix, size, low ? "low" : "full");
}

}  // namespace

const char* reportTag(ReportTable table) { return TAGS[int(table)]; }

bool reportTableOfTag(const char* tag, int length, ReportTable& table) {
    for (int i = 0; i < REPORT_TABLE_COUNT; ++i) {
        if (int(std::strlen(TAGS[i])) == length && std::strncmp(tag, TAGS[i], std::size_t(length)) == 0) {
            table = ReportTable(i);
            return true;
        }
    }
    return false;
}

void printReportHeader(std::FILE* out, ReportTable table) {
    char laterFrames[32];
    std::snprintf(laterFrames, sizeof laterFrames, "frames 2..%d", TOTAL_FRAMES);
    switch (table) {
    case ReportTable::frameCost:
        std::fprintf(out, "Frame cost, ms per frame (%d frames timed after %d warm-up frames)\n", TIMED_FRAMES,
                     WARM_UP_FRAMES);
        std::fprintf(out, "%-17s %-26s    %-26s    %s\n", "", "runFrame: update + submit", "runFrame: thread CPU time",
                     "runFrame + glFinish: total");
        std::fprintf(out, "%-10s %-6s %8s %8s %8s    %8s %8s %8s    %8s %8s %8s\n", "size", "detail", "mean", "p50",
                     "p95", "mean", "p50", "p95", "mean", "p50", "p95");
        break;
    case ReportTable::hugeStep:
        std::fprintf(out, "One frame with frameSeconds = %.0f s, after the timed frames, ms\n",
                     double(HUGE_STEP_SECONDS));
        std::fprintf(out, "%-10s %-6s %10s %21s\n", "size", "detail", "runFrame", "runFrame + glFinish");
        break;
    case ReportTable::allocations:
        std::fprintf(out, "Heap allocations inside runFrame, as calls of operator new/delete\n");
        std::fprintf(out, "%-17s %-30s   %s\n", "", "by Orvel's code (must be 0/0)", "by libraries (the GL driver)");
        std::fprintf(out, "%-10s %-6s %9s %20s   %11s %18s\n", "size", "detail", "frame 1", laterFrames, "frame 1",
                     laterFrames);
        break;
    case ReportTable::heap:
        std::fprintf(out, "Heap in use: the blocks Orvel's code holds and their KiB, counted from the program's\n"
                          "start, and all the process holds from malloc, MiB (the GL driver's included)\n");
        std::fprintf(out, "%-17s %-27s   %s\n", "", "after set-up", "after the last frame");
        std::fprintf(out, "%-10s %-6s %6s %8s %11s   %6s %8s %11s\n", "size", "detail", "blocks", "KiB", "process MiB",
                     "blocks", "KiB", "process MiB");
        break;
    }
}

void printFrameCostRow(std::FILE* out, const char* prefix, int width, int height, bool low,
                       const FrameStats& submit, const FrameStats& cpu, const FrameStats& total) {
    printConfiguration(out, prefix, width, height, low);
    std::fprintf(out, " %8.3f %8.3f %8.3f    %8.3f %8.3f %8.3f    %8.3f %8.3f %8.3f\n", submit.mean, submit.p50,
                 submit.p95, cpu.mean, cpu.p50, cpu.p95, total.mean, total.p50, total.p95);
}

void printHugeStepRow(std::FILE* out, const char* prefix, int width, int height, bool low,
                      double submitMs, double totalMs) {
    printConfiguration(out, prefix, width, height, low);
    std::fprintf(out, " %10.3f %21.3f\n", submitMs, totalMs);
}

void printAllocationRow(std::FILE* out, const char* prefix, int width, int height, bool low,
                        const AllocationCounts& firstFrame, const AllocationCounts& laterFrames) {
    char cells[4][48];
    std::snprintf(cells[0], sizeof cells[0], "%llu/%llu", ull(firstFrame.programNew), ull(firstFrame.programDelete));
    std::snprintf(cells[1], sizeof cells[1], "%llu/%llu", ull(laterFrames.programNew), ull(laterFrames.programDelete));
    std::snprintf(cells[2], sizeof cells[2], "%llu/%llu", ull(firstFrame.libraryNew), ull(firstFrame.libraryDelete));
    std::snprintf(cells[3], sizeof cells[3], "%llu/%llu", ull(laterFrames.libraryNew), ull(laterFrames.libraryDelete));
    printConfiguration(out, prefix, width, height, low);
    std::fprintf(out, " %9s %20s   %11s %18s\n", cells[0], cells[1], cells[2], cells[3]);
}

void printHeapRow(std::FILE* out, const char* prefix, int width, int height, bool low, const HeapUse& afterSetup,
                  const HeapUse& afterFrames) {
    constexpr double KIB = 1024.0;
    constexpr double MIB = 1024.0 * 1024.0;
    printConfiguration(out, prefix, width, height, low);
    std::fprintf(out, " %6lld %8.1f %11.1f   %6lld %8.1f %11.1f\n", static_cast<long long>(afterSetup.programBlocks),
                 double(afterSetup.programBytes) / KIB, double(afterSetup.processBytes) / MIB,
                 static_cast<long long>(afterFrames.programBlocks), double(afterFrames.programBytes) / KIB,
                 double(afterFrames.processBytes) / MIB);
}
