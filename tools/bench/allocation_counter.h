#pragma once
// Counts calls to the global operator new and operator delete (every form) in this
// process, split by origin (allocation_origin.h): the program's own code, or a library
// such as the GL driver. The counters only grow; callers take differences around the
// code they watch.
#include <cstdint>

struct AllocationCounts {
    std::uint64_t programNew;
    std::uint64_t programDelete;
    std::uint64_t libraryNew;
    std::uint64_t libraryDelete;
};

AllocationCounts allocationCounts();

AllocationCounts operator-(const AllocationCounts& later, const AllocationCounts& earlier);
AllocationCounts& operator+=(AllocationCounts& sum, const AllocationCounts& more);
