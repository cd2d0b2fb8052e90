#pragma once
// The printed tables: their headings and rows, kept in one place so the columns line up.
// A child process prints rows prefixed with their table's tag ("cost|..."); the parent
// sorts them into tables under one heading each.
#include <cstdio>

#include "allocation_counter.h"
#include "frame_stats.h"

enum class ReportTable { frameCost, hugeStep, allocations, heap };

inline constexpr int REPORT_TABLE_COUNT = 4;

// The tag of a table's rows, and the table a tagged line belongs to (false when none).
const char* reportTag(ReportTable table);
bool reportTableOfTag(const char* tag, int length, ReportTable& table);

// Tags of the lines that are not table rows: the GL renderer and allocation failures.
inline constexpr char RENDERER_TAG[] = "gl";
inline constexpr char FAIL_TAG[] = "fail";

void printReportHeader(std::FILE* out, ReportTable table);

// Rows; prefix is "" or the tag with its '|' separator.
void printFrameCostRow(std::FILE* out, const char* prefix, int width, int height, bool low,
                       const FrameStats& submit, const FrameStats& cpu, const FrameStats& total);
void printHugeStepRow(std::FILE* out, const char* prefix, int width, int height, bool low,
                      double submitMs, double totalMs);
void printAllocationRow(std::FILE* out, const char* prefix, int width, int height, bool low,
                        const AllocationCounts& firstFrame, const AllocationCounts& laterFrames);
void printHeapRow(std::FILE* out, const char* prefix, int width, int height, bool low, const HeapUse& afterSetup,
                  const HeapUse& afterFrames);
