// What the 32-bit Orvel.scr would otherwise take from libstdc++ and libgcc, both built
// for the Pentium Pro: the heap operators on msvcrt's heap, the library's failure hooks
// (the program throws nothing: a failure ends the process with -1, the program's
// failure code), the registration of global destructors, which never run because the
// process ends with ExitProcess, MinGW's formatted output, and the stack probe of large
// frames.
#include <windows.h>

#include <cstdarg>
#include <cstddef>
#include <cstdlib>

extern "C" int __cdecl _vsnprintf(char*, std::size_t, const char*, va_list);

namespace {

[[noreturn]] void failHard() { ExitProcess(UINT(-1)); }

void* allocate(std::size_t size) {
    void* block = std::malloc(size != 0 ? size : 1);
    if (block == nullptr) failHard();
    return block;
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace std {
[[noreturn]] void __throw_bad_alloc() { failHard(); }
[[noreturn]] void __throw_length_error(const char*) { failHard(); }
[[noreturn]] void __throw_logic_error(const char*) { failHard(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { failHard(); }
}  // namespace std

extern "C" {

[[noreturn]] void __cxa_throw_bad_array_new_length() { failHard(); }

int atexit(void (*)()) { return 0; }

// libstdc++ points snprintf here, at MinGW's own printf; msvcrt's does the work. The text
// always ends within the buffer; when it was cut short, the length kept is returned.
int __mingw_vsnprintf(char* buffer, std::size_t size, const char* format, va_list arguments) {
    if (size == 0) return 0;
    const int length = _vsnprintf(buffer, size - 1, format, arguments);
    if (length < 0 || std::size_t(length) == size - 1) {
        buffer[size - 1] = '\0';
        return int(size - 1);
    }
    return length;
}

}  // extern "C"

// The probe GCC calls before a frame of more than a page: it touches each page from the
// caller's stack pointer down to the new frame's end, in order, so that the system's
// guard page grows the stack a page at a time. EAX holds the frame's size; every
// register is kept.
__asm__(
    ".text\n"
    ".globl ___chkstk_ms\n"
    "___chkstk_ms:\n"
    "    pushl %ecx\n"
    "    pushl %eax\n"
    "    leal 12(%esp), %ecx\n"  // the caller's stack pointer, past the return address
    "1:  cmpl $0x1000, %eax\n"
    "    jb 2f\n"
    "    subl $0x1000, %ecx\n"
    "    orl $0, (%ecx)\n"
    "    subl $0x1000, %eax\n"
    "    jmp 1b\n"
    "2:  subl %eax, %ecx\n"
    "    orl $0, (%ecx)\n"
    "    popl %eax\n"
    "    popl %ecx\n"
    "    ret\n");
