// allocationOrigin on Linux with glibc: the loaded modules' address spans come from
// dl_iterate_phdr, and the call stack, when it is needed, from backtrace. Nothing here
// allocates once prepared.
#include <execinfo.h>
#include <link.h>

#include <cstdint>
#include <cstdlib>
#include <exception>

#include "allocation_origin.h"

namespace {

struct ModuleSpan {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
    bool holds(std::uintptr_t address) const { return address >= begin && address < end; }
};

struct Modules {
    std::uintptr_t markers[3];  // an address inside the program, the C library, the C++ library
    ModuleSpan spans[3];
};

enum ModuleIndex { PROGRAM = 0, C_RUNTIME = 1, CXX_RUNTIME = 2 };

Modules modules;
bool prepared = false;

constexpr int STACK_DEPTH = 32;

int recordSpan(dl_phdr_info* info, std::size_t, void*) {
    ModuleSpan span{UINTPTR_MAX, 0};
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type == PT_LOAD) {
            const std::uintptr_t begin = info->dlpi_addr + header.p_vaddr;
            span.begin = begin < span.begin ? begin : span.begin;
            span.end = begin + header.p_memsz > span.end ? begin + header.p_memsz : span.end;
        }
    }
    for (int m = 0; m < 3; ++m) {
        if (span.holds(modules.markers[m])) {
            modules.spans[m] = span;
        }
    }
    return 0;
}

// Neither the program nor the C or C++ runtime.
bool inLibrary(std::uintptr_t address) {
    for (const ModuleSpan& span : modules.spans) {
        if (span.holds(address)) {
            return false;
        }
    }
    return true;
}

}  // namespace

void prepareAllocationOrigins() {
    modules.markers[PROGRAM] = reinterpret_cast<std::uintptr_t>(&prepareAllocationOrigins);
    modules.markers[C_RUNTIME] = reinterpret_cast<std::uintptr_t>(&std::abort);
    modules.markers[CXX_RUNTIME] = reinterpret_cast<std::uintptr_t>(&std::terminate);
    dl_iterate_phdr(recordSpan, nullptr);
    // The first backtrace loads the unwinder; do it now rather than inside operator new.
    void* frames[STACK_DEPTH];
    backtrace(frames, STACK_DEPTH);
    prepared = true;
}

AllocationOrigin allocationOrigin(void* callerAddress) {
    if (!prepared) {
        return AllocationOrigin::program;
    }
    if (inLibrary(reinterpret_cast<std::uintptr_t>(callerAddress))) {
        return AllocationOrigin::library;  // the common case, without a walk of the stack
    }
    void* frames[STACK_DEPTH];
    const int count = backtrace(frames, STACK_DEPTH);
    for (int i = 0; i < count; ++i) {
        if (inLibrary(reinterpret_cast<std::uintptr_t>(frames[i]))) {
            return AllocationOrigin::library;
        }
    }
    return AllocationOrigin::program;
}
