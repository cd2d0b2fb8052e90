#pragma once
// Counts calls to the global operator new and operator delete (every form) in this
// process, split by origin (allocation_origin.h): the program's own code, or a library
// such as the GL driver. The counters only grow; callers take differences around the
// code they watch. For the program's own blocks the bytes they hold are kept too.
#include <cstdint>

struct AllocationCounts {
    std::uint64_t programNew;
    std::uint64_t programDelete;
    std::uint64_t libraryNew;
    std::uint64_t libraryDelete;
};

AllocationCounts allocationCounts();

// Bytes in the blocks the program's own code holds: the usable size of every block its
// operator new made, less those its operator delete gave back.
std::int64_t programHeapBytes();

AllocationCounts operator-(const AllocationCounts& later, const AllocationCounts& earlier);
AllocationCounts& operator+=(AllocationCounts& sum, const AllocationCounts& more);

// Heap in use at one moment: the blocks and bytes held by the program's own code, and
// every byte the C library's allocator has handed out in this process (the GL driver's,
// its compiler's and the program's, in all arenas and in mapped blocks).
struct HeapUse {
    std::int64_t programBlocks;
    std::int64_t programBytes;
    std::int64_t processBytes;
};

HeapUse heapUse();
