// Replaces every form of the global operator new and delete with versions that count the
// call by its origin and pass it on to malloc/free. The counters are atomic because the
// GL driver's worker threads may allocate too; relaxed order is enough for a tally.
#include "allocation_counter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "allocation_origin.h"

namespace {

std::atomic<std::uint64_t> programNew{0};
std::atomic<std::uint64_t> programDelete{0};
std::atomic<std::uint64_t> libraryNew{0};
std::atomic<std::uint64_t> libraryDelete{0};
std::atomic<std::int64_t> programBytes{0};

// Counts a new block (when there is one) by its origin.
void* countNew(void* pointer, void* caller) {
    if (pointer == nullptr) {
        return nullptr;
    }
    if (allocationOrigin(caller) == AllocationOrigin::program) {
        programNew.fetch_add(1, std::memory_order_relaxed);
        programBytes.fetch_add(std::int64_t(malloc_usable_size(pointer)), std::memory_order_relaxed);
    } else {
        libraryNew.fetch_add(1, std::memory_order_relaxed);
    }
    return pointer;
}

void* allocate(std::size_t size, void* caller) { return countNew(std::malloc(size == 0 ? 1 : size), caller); }

void* allocateAligned(std::size_t size, std::align_val_t alignment, void* caller) {
    const std::size_t align = static_cast<std::size_t>(alignment);
    // aligned_alloc wants a size that is a multiple of the alignment.
    const std::size_t rounded = size == 0 ? align : (size + align - 1) / align * align;
    return countNew(std::aligned_alloc(align, rounded), caller);
}

void release(void* pointer, void* caller) {
    if (pointer != nullptr) {
        if (allocationOrigin(caller) == AllocationOrigin::program) {
            programDelete.fetch_add(1, std::memory_order_relaxed);
            programBytes.fetch_sub(std::int64_t(malloc_usable_size(pointer)), std::memory_order_relaxed);
        } else {
            libraryDelete.fetch_add(1, std::memory_order_relaxed);
        }
        std::free(pointer);
    }
}

void* orThrow(void* pointer) {
    if (pointer == nullptr) {
        throw std::bad_alloc();
    }
    return pointer;
}

}  // namespace

AllocationCounts allocationCounts() {
    return {programNew.load(std::memory_order_relaxed), programDelete.load(std::memory_order_relaxed),
            libraryNew.load(std::memory_order_relaxed), libraryDelete.load(std::memory_order_relaxed)};
}

std::int64_t programHeapBytes() { return programBytes.load(std::memory_order_relaxed); }

HeapUse heapUse() {
    const AllocationCounts counts = allocationCounts();
    const struct mallinfo2 info = mallinfo2();
    return {std::int64_t(counts.programNew - counts.programDelete), programHeapBytes(),
            std::int64_t(info.uordblks + info.hblkhd)};
}

AllocationCounts operator-(const AllocationCounts& later, const AllocationCounts& earlier) {
    return {later.programNew - earlier.programNew, later.programDelete - earlier.programDelete,
            later.libraryNew - earlier.libraryNew, later.libraryDelete - earlier.libraryDelete};
}

AllocationCounts& operator+=(AllocationCounts& sum, const AllocationCounts& more) {
    sum.programNew += more.programNew;
    sum.programDelete += more.programDelete;
    sum.libraryNew += more.libraryNew;
    sum.libraryDelete += more.libraryDelete;
    return sum;
}

// Each form hands its own return address on: the code that called operator new.
#define CALLER __builtin_return_address(0)

void* operator new(std::size_t size) { return orThrow(allocate(size, CALLER)); }
void* operator new[](std::size_t size) { return orThrow(allocate(size, CALLER)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size, CALLER); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size, CALLER); }
void* operator new(std::size_t size, std::align_val_t a) { return orThrow(allocateAligned(size, a, CALLER)); }
void* operator new[](std::size_t size, std::align_val_t a) { return orThrow(allocateAligned(size, a, CALLER)); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return allocateAligned(size, a, CALLER);
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return allocateAligned(size, a, CALLER);
}

void operator delete(void* p) noexcept { release(p, CALLER); }
void operator delete[](void* p) noexcept { release(p, CALLER); }
void operator delete(void* p, std::size_t) noexcept { release(p, CALLER); }
void operator delete[](void* p, std::size_t) noexcept { release(p, CALLER); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p, CALLER); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p, CALLER); }
void operator delete(void* p, std::align_val_t) noexcept { release(p, CALLER); }
void operator delete[](void* p, std::align_val_t) noexcept { release(p, CALLER); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { release(p, CALLER); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { release(p, CALLER); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { release(p, CALLER); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { release(p, CALLER); }
