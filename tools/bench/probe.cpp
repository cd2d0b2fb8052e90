// orvel-probe: a library orvel-bench --x11 and --wayland preload (LD_PRELOAD) into the
// programs they start; never linked into Orvel. It notes when the start-up steps finish,
// as nanoseconds since the launcher's exec (ORVEL_PROBE_LAUNCH_NS, CLOCK_MONOTONIC): the
// probe loaded, main entered, the display opened, the GL context made and made current,
// the window mapped (X11), every output covered by a first buffer (Wayland), and the
// first buffer swap returned, and the swap that shows the first frame on every output
// (ORVEL_PROBE_OUTPUTS, 1 unless set); also when the dlopen of Mesa's driver began and
// ended. With ORVEL_PROBE_SWAP_FILE it keeps the running count of swaps at the start of
// that file, rewritten in place at a fixed width, for a reader at any moment. With ORVEL_PROBE_COUNT=1 it also counts the calls of
// operator new/delete and of malloc, calloc, realloc, the aligned forms and free, by
// origin: Orvel's code (the main executable) or a library. Frames end where a buffer
// swap returns; frame 1 starts where the window is mapped, as the scene is built before
// that. After ORVEL_PROBE_FRAMES frames it writes one line of figures to the descriptor
// ORVEL_PROBE_FD and stops counting; the launcher then ends the program.
//
// This file keeps the marks, the counters and the report; probe_heap.cpp wraps the
// allocator, probe_gl.cpp the window systems' and OpenGL's calls and probe_wayland.cpp
// the Wayland requests that cover an output. The allocator calls
// go straight to glibc's own entry points (__libc_malloc and so on), so nothing has to be
// looked up before the first allocation. The probe uses no C++ library of its own, so
// that its operator new is the only one the program reaches.
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <link.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "probe_internal.h"

namespace {

// ---- clocks and start-up marks -------------------------------------------------------

std::uint64_t monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint64_t(now.tv_sec) * 1000000000u + std::uint64_t(now.tv_nsec);
}

std::uint64_t launchNs = 0;
std::int64_t marks[PROBE_MARK_COUNT];  // ns since launch; -1 until reached

void mark(ProbeMark which) {
    if (marks[which] < 0) marks[which] = std::int64_t(monotonicNs() - launchNs);
}

// ---- where an allocation comes from --------------------------------------------------

struct Span {
    std::uintptr_t begin;
    std::uintptr_t end;
    bool holds(std::uintptr_t address) const { return address >= begin && address < end; }
};

// The main executable, and the runtimes that serve whoever calls them (the C and C++
// libraries, the unwinder, libm, the dynamic loader and this probe): an allocation from
// those belongs to the nearest caller further up the stack. Everything else, including
// what is loaded later (Mesa's driver, LLVM), is a library.
constexpr int RUNTIME_CAPACITY = 8;
Span program{0, 0};
Span runtimes[RUNTIME_CAPACITY];
int runtimeCount = 0;
bool counting = false;  // origins known and ORVEL_PROBE_COUNT=1, until the report is written

bool nameEndsWith(const char* name, const char* stem) {
    // A path whose last component starts with stem, e.g. "/lib/x86_64-linux-gnu/libc.so.6".
    const char* last = name;
    for (const char* p = name; *p != '\0'; ++p) {
        if (*p == '/') last = p + 1;
    }
    for (; *stem != '\0'; ++stem, ++last) {
        if (*last != *stem) return false;
    }
    return true;
}

// A name that ends in "_dri.so", like Mesa's drivers.
bool isDriverFile(const char* name) {
    const char suffix[] = "_dri.so";
    const std::size_t suffixLength = sizeof suffix - 1;
    std::size_t length = 0;
    while (name[length] != '\0') ++length;
    if (length < suffixLength) return false;
    for (std::size_t i = 0; i < suffixLength; ++i) {
        if (name[length - suffixLength + i] != suffix[i]) return false;
    }
    return true;
}

int recordSpan(dl_phdr_info* info, std::size_t, void* firstSeen) {
    Span span{UINTPTR_MAX, 0};
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type == PT_LOAD) {
            const std::uintptr_t begin = info->dlpi_addr + header.p_vaddr;
            if (begin < span.begin) span.begin = begin;
            if (begin + header.p_memsz > span.end) span.end = begin + header.p_memsz;
        }
    }
    bool& first = *static_cast<bool*>(firstSeen);
    const char* name = info->dlpi_name != nullptr ? info->dlpi_name : "";
    if (first) {
        first = false;
        program = span;  // dl_iterate_phdr lists the main executable first
        return 0;
    }
    const bool probe = span.holds(reinterpret_cast<std::uintptr_t>(&nameEndsWith));
    const bool runtime = probe || nameEndsWith(name, "libc.so") || nameEndsWith(name, "libstdc++.so") ||
                         nameEndsWith(name, "libgcc_s.so") || nameEndsWith(name, "libm.so") ||
                         nameEndsWith(name, "ld-linux");
    if (runtime && runtimeCount < RUNTIME_CAPACITY) runtimes[runtimeCount++] = span;
    return 0;
}

bool inRuntime(std::uintptr_t address) {
    for (int i = 0; i < runtimeCount; ++i) {
        if (runtimes[i].holds(address)) return true;
    }
    return false;
}

constexpr int STACK_DEPTH = 48;

// The origin of a call returning to caller. A library's when it returns into a library,
// or when any frame of its stack is a library's: the executable carries its own copies of
// C++ runtime templates (std::string's, say) that the C++ library then calls on behalf of
// LLVM. Else Orvel's, and programPlace is the first frame in the executable.
bool fromProgram(std::uintptr_t caller, std::uintptr_t& programPlace) {
    if (!program.holds(caller) && !inRuntime(caller)) return false;  // the common case
    void* frames[STACK_DEPTH];
    const int count = backtrace(frames, STACK_DEPTH);
    programPlace = 0;
    for (int i = 0; i < count; ++i) {
        const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(frames[i]);
        if (program.holds(address)) {
            if (programPlace == 0) programPlace = address;
        } else if (!inRuntime(address)) {
            return false;
        }
    }
    return programPlace != 0;
}

// ---- counters ------------------------------------------------------------------------

std::atomic<std::uint64_t> tally[PROBE_KIND_COUNT][2];  // [kind][1 = Orvel's code]
std::uint64_t frameTally[PROBE_PERIOD_COUNT][PROBE_KIND_COUNT][2];

// Where Orvel's code allocated after frame 1 (offsets into the executable), for addr2line.
constexpr int PLACE_CAPACITY = PROBE_PLACE_COUNT;
std::atomic<std::uintptr_t> places[PLACE_CAPACITY];
std::atomic<bool> afterFirstFrame{false};

// Per thread: set while the probe's own work runs, so that what it allocates (the
// unwinder's first use, dlsym) is passed on without being counted.
__attribute__((tls_model("initial-exec"))) thread_local bool busy = false;

void notePlace(std::uintptr_t place) {
    const std::uintptr_t offset = place - program.begin;
    for (std::atomic<std::uintptr_t>& slot : places) {
        std::uintptr_t seen = slot.load(std::memory_order_relaxed);
        if (seen == offset) return;
        if (seen == 0 && slot.compare_exchange_strong(seen, offset)) return;
        if (seen == offset) return;
    }
}

// With ORVEL_PROBE_STACKS=1, the call stacks of the first few such calls go to standard
// error as well (backtrace_symbols_fd allocates nothing).
bool stacksWanted = false;
std::atomic<int> stacksLeft{PLACE_CAPACITY};

void count(ProbeKind kind, void* caller) {
    if (!counting || busy) return;
    busy = true;
    std::uintptr_t place = 0;
    const bool own = fromProgram(reinterpret_cast<std::uintptr_t>(caller), place);
    tally[kind][own ? 1 : 0].fetch_add(1, std::memory_order_relaxed);
    if (own && afterFirstFrame.load(std::memory_order_relaxed)) {
        notePlace(place);
        if (stacksWanted && stacksLeft.fetch_sub(1) > 0) {
            void* frames[STACK_DEPTH];
            const int depth = backtrace(frames, STACK_DEPTH);
            write(STDERR_FILENO, "orvel-probe: Orvel's code on the heap after frame 1:\n", 53);
            backtrace_symbols_fd(frames, depth, STDERR_FILENO);
        }
    }
    busy = false;
}

void snapshot(ProbePeriod period) {
    for (int k = 0; k < PROBE_KIND_COUNT; ++k) {
        for (int o = 0; o < 2; ++o) frameTally[period][k][o] = tally[k][o].load(std::memory_order_relaxed);
    }
}

// ---- settings from the launcher ------------------------------------------------------

int reportFd = -1;
std::uint64_t framesWanted = 0;
std::uint64_t framesSeen = 0;
std::uint64_t outputs = 1;
const char* swapFile = nullptr;
int swapFd = -1;  // -2 when it cannot be written

void writeSwapCount() {
    if (swapFd == -1) {
        swapFd = open(swapFile, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (swapFd < 0) swapFd = -2;
    }
    if (swapFd < 0) return;
    char line[32];
    const int length = std::snprintf(line, sizeof line, "%20llu\n", (unsigned long long)framesSeen);
    if (pwrite(swapFd, line, std::size_t(length), 0) < 0) swapFd = -2;
}

std::uint64_t numberFromEnvironment(const char* name, std::uint64_t fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') return fallback;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    return *end == '\0' ? std::uint64_t(value) : fallback;
}

__attribute__((constructor)) void startProbe() {
    const std::uint64_t now = monotonicNs();
    launchNs = numberFromEnvironment("ORVEL_PROBE_LAUNCH_NS", now);
    for (std::int64_t& m : marks) m = -1;
    marks[PROBE_LOADED] = std::int64_t(now - launchNs);
    reportFd = int(numberFromEnvironment("ORVEL_PROBE_FD", std::uint64_t(-1)));
    framesWanted = numberFromEnvironment("ORVEL_PROBE_FRAMES", 0);
    outputs = numberFromEnvironment("ORVEL_PROBE_OUTPUTS", 1);
    swapFile = std::getenv("ORVEL_PROBE_SWAP_FILE");
    stacksWanted = numberFromEnvironment("ORVEL_PROBE_STACKS", 0) == 1;
    if (numberFromEnvironment("ORVEL_PROBE_COUNT", 0) == 1) {
        busy = true;
        void* frames[4];
        backtrace(frames, 4);  // loads the unwinder now rather than inside an allocation
        bool first = true;
        dl_iterate_phdr(recordSpan, &first);
        busy = false;
        counting = true;
    }
}

void writeReport() {
    busy = true;
    counting = false;
    char line[2048];
    int used = std::snprintf(line, sizeof line, "%s", PROBE_REPORT_TAG);
    for (std::int64_t m : marks) used += std::snprintf(line + used, sizeof line - std::size_t(used), " %lld", (long long)m);
    for (const auto& period : frameTally) {
        for (const auto& kind : period) {
            used += std::snprintf(line + used, sizeof line - std::size_t(used), " %llu %llu",
                                  (unsigned long long)kind[1], (unsigned long long)kind[0]);
        }
    }
    for (const std::atomic<std::uintptr_t>& slot : places) {
        used += std::snprintf(line + used, sizeof line - std::size_t(used), " %llx",
                              (unsigned long long)slot.load(std::memory_order_relaxed));
    }
    used += std::snprintf(line + used, sizeof line - std::size_t(used), "\n");
    const char* rest = line;
    while (used > 0) {
        const ssize_t written = write(reportFd, rest, std::size_t(used));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;
        rest += written;
        used -= int(written);
    }
    busy = false;
}

using MainFunction = int (*)(int, char**, char**);
MainFunction realMain = nullptr;

int markedMain(int argc, char** argv, char** environment) {
    mark(PROBE_MAIN);
    return realMain(argc, argv, environment);
}

}  // namespace

// ---- what the other files call -------------------------------------------------------

void probeMark(ProbeMark which) { mark(which); }

void probeCount(ProbeKind kind, void* caller) { count(kind, caller); }

void probeWindowMapped() {
    if (marks[PROBE_MAPPED] < 0) {
        mark(PROBE_MAPPED);
        snapshot(PROBE_SETUP);
    }
}

unsigned probeOutputs() { return unsigned(outputs); }

void probeFrameShown() {
    ++framesSeen;
    if (framesSeen == 1) {
        mark(PROBE_FIRST_SWAP);
        snapshot(PROBE_FIRST_FRAME);
        afterFirstFrame.store(true, std::memory_order_relaxed);
    }
    if (framesSeen == outputs) mark(PROBE_EVERY_SWAP);
    if (swapFile != nullptr) writeSwapCount();
    if (framesSeen == framesWanted) {
        snapshot(PROBE_LATER_FRAMES);
        if (reportFd >= 0) writeReport();
        counting = false;
    }
}

void* probeNext(const char* name) {
    const bool wasBusy = busy;
    busy = true;
    void* found = dlsym(RTLD_NEXT, name);
    busy = wasBusy;
    return found;
}

// ---- wrapped entry points ------------------------------------------------------------

extern "C" {

using StartMain = int (*)(MainFunction, int, char**, void (*)(), void (*)(), void (*)(), void*);
int __libc_start_main(MainFunction main, int argc, char** argv, void (*init)(), void (*fini)(),
                      void (*rtldFini)(), void* stackEnd) {
    static StartMain real = nullptr;
    realMain = main;
    return probeNextOf(real, "__libc_start_main")(markedMain, argc, argv, init, fini, rtldFini, stackEnd);
}

// Only noted: the driver is named by its full path, so the loader's notion of the caller
// (for $ORIGIN) does not matter.
using OpenFunction = void* (*)(const char*, int);
void* dlopen(const char* file, int mode) {
    static OpenFunction real = nullptr;
    const bool driver = file != nullptr && isDriverFile(file);
    if (driver) mark(PROBE_DRIVER_OPEN);
    void* handle = probeNextOf(real, "dlopen")(file, mode);
    if (driver && handle != nullptr) mark(PROBE_DRIVER);
    return handle;
}

}  // extern "C"
