#pragma once
// Tells apart the heap allocations the program's own code asks for from those of the
// libraries it calls (on llvmpipe, Mesa's shader compiler LLVM allocates whenever it
// builds a new pipeline variant). An allocation is a library's when its call stack passes
// through any code that is neither the program nor the C or C++ runtime; the program never
// hands a library a callback, so everything else is the program's own. Template code of
// the C++ runtime compiled into the program (std::string members, say) serves libraries
// too, so the whole stack is looked at, not only operator new's caller.

enum class AllocationOrigin { program, library };

// Records where the program and the runtime libraries are loaded; call once, before
// anything is watched.
void prepareAllocationOrigins();

// The origin of an allocation whose operator new returns to callerAddress. Before
// prepareAllocationOrigins, the program.
AllocationOrigin allocationOrigin(void* callerAddress);
