#pragma once
// What the files of orvel-probe share: probe.cpp keeps the start-up marks, the counters
// and the report; probe_heap.cpp and probe_gl.cpp wrap the entry points that feed them.
#include "probe_report.h"

#pragma GCC visibility push(hidden)

// Notes that a start-up step finished; only its first time counts.
void probeMark(ProbeMark which);

// Counts an allocator call returning to caller, while counting is on.
void probeCount(ProbeKind kind, void* caller);

// The program's window is mapped (X11): set-up is over and frame 1 starts.
void probeWindowMapped();

// How many outputs the program covers (ORVEL_PROBE_OUTPUTS, 1 unless set).
unsigned probeOutputs();

// A buffer swap returned: a frame is presented.
void probeFrameShown();

// The next definition of a wrapped function (dlsym's RTLD_NEXT), looked up without
// counting what the lookup allocates.
void* probeNext(const char* name);

template <typename Function>
Function probeNextOf(Function& cached, const char* name) {
    if (cached == nullptr) cached = reinterpret_cast<Function>(probeNext(name));
    return cached;
}

#pragma GCC visibility pop
