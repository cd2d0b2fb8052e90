// The process entry of the 32-bit Orvel.scr, which links no C or C++ run-time start-up:
// MinGW's is built for the Pentium Pro. The loader jumps here; the floating-point unit
// is put into the state that MinGW's start-up leaves (64-bit precision, all exceptions
// masked), the global objects are constructed, and WinMain runs the program. WinMain
// ends the process itself; should it return, its result is the exit code.
#include <windows.h>

// The constructor list the linker's script lays out for PE programs: -1 (or the count),
// the constructors in link order, then 0. They run from the last to the first, as
// MinGW's own start-up runs them.
extern "C" void (*__CTOR_LIST__[])();

namespace {

void constructGlobalObjects() {
    int count = 0;
    while (__CTOR_LIST__[count + 1] != nullptr) ++count;
    for (int i = count; i >= 1; --i) __CTOR_LIST__[i]();
}

}  // namespace

extern "C" [[noreturn]] void WinMainCRTStartup() {
    __asm__ volatile("fninit");
    constructGlobalObjects();
    // WinMain reads the command line itself; it is handed the module and the line.
    const int result = WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT);
    ExitProcess(UINT(result));
}
