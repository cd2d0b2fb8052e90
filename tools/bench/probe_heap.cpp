// orvel-probe's allocator entry points: each call is counted by origin (probe.cpp) and
// passed to glibc's own. Running out of memory in operator new aborts: the probe carries
// no C++ library to throw std::bad_alloc with, and a measurement run that runs out is
// void.
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <new>

#include "probe_internal.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void* __libc_valloc(std::size_t size);
void* __libc_pvalloc(std::size_t size);
void __libc_free(void* pointer);

void* malloc(std::size_t size) {
    probeCount(PROBE_MALLOC, __builtin_return_address(0));
    return __libc_malloc(size);
}

void* calloc(std::size_t n, std::size_t size) {
    probeCount(PROBE_MALLOC, __builtin_return_address(0));
    return __libc_calloc(n, size);
}

void* realloc(void* pointer, std::size_t size) {
    probeCount(PROBE_MALLOC, __builtin_return_address(0));
    return __libc_realloc(pointer, size);
}

void* memalign(std::size_t alignment, std::size_t size) {
    probeCount(PROBE_MALLOC, __builtin_return_address(0));
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
    probeCount(PROBE_MALLOC, __builtin_return_address(0));
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    probeCount(PROBE_MALLOC, __builtin_return_address(0));
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) return EINVAL;
    void* pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr) return ENOMEM;
    *result = pointer;
    return 0;
}

void* valloc(std::size_t size) {
    probeCount(PROBE_MALLOC, __builtin_return_address(0));
    return __libc_valloc(size);
}

void* pvalloc(std::size_t size) {
    probeCount(PROBE_MALLOC, __builtin_return_address(0));
    return __libc_pvalloc(size);
}

void free(void* pointer) {
    if (pointer != nullptr) probeCount(PROBE_FREE, __builtin_return_address(0));
    __libc_free(pointer);
}

}  // extern "C"

// operator new and delete, every form.
namespace {

void* allocate(std::size_t size, void* caller) {
    probeCount(PROBE_NEW, caller);
    void* pointer = __libc_malloc(size == 0 ? 1 : size);
    if (pointer == nullptr) std::abort();
    return pointer;
}

void* allocateAligned(std::size_t size, std::align_val_t alignment, void* caller) {
    probeCount(PROBE_NEW, caller);
    void* pointer = __libc_memalign(static_cast<std::size_t>(alignment), size == 0 ? 1 : size);
    if (pointer == nullptr) std::abort();
    return pointer;
}

void release(void* pointer, void* caller) {
    if (pointer != nullptr) probeCount(PROBE_DELETE, caller);
    __libc_free(pointer);
}

}  // namespace

#define CALLER __builtin_return_address(0)

void* operator new(std::size_t size) { return allocate(size, CALLER); }
void* operator new[](std::size_t size) { return allocate(size, CALLER); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size, CALLER); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size, CALLER); }
void* operator new(std::size_t size, std::align_val_t a) { return allocateAligned(size, a, CALLER); }
void* operator new[](std::size_t size, std::align_val_t a) { return allocateAligned(size, a, CALLER); }
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
