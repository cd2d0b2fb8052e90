// The system services of the X11 and the Wayland programs. The Windows-only ones answer
// as Windows does when the thing is absent: no registry key, no library, no system
// parameter. The version query names a platform that is not of the Windows 95 family,
// the program's module is its compiled-in bitmaps, and a fault nobody caught ends the
// process after the crash guard's handler. The message box is each backend's own.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/common/embedded_resources.h"
#include "platform/posix/process.h"
#include "platform/posix/settings_location.h"
#include "platform/system_services.h"

// LeakSanitizer's check, present only in a sanitizer build: a weak reference is null
// otherwise.
extern "C" void __lsan_do_leak_check() __attribute__((weak));

namespace {

constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr std::uint32_t VER_PLATFORM_WIN32_NT = 2;
constexpr int FAULT_SIGNALS[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};

void (*crashHandler)() = nullptr;

// A fault nobody caught: the guard's handler runs, and the process ends with -1.
void onFault(int) {
    static const char message[] = "orvel: fatal fault; ending with exit code 255\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    if (crashHandler != nullptr) crashHandler();
    _exit(255);
}

}  // namespace

std::string platformSettingsDirectory() { return xdgSettingsDirectory(); }

const char* platformCommandLine() { return posixCommandLine(); }

// The text is UTF-8 or plain bytes; the shell only walks a program name with it, and the
// program name holds no quotes.
const char* platformCharNext(const char* text) { return *text != '\0' ? text + 1 : text; }

InstanceHandle platformModuleHandle() { return &orvelResources; }

void platformExitProcess(std::int32_t exitCode) {
    posixWriteStats();
    std::fflush(nullptr);
    // _exit passes over LeakSanitizer's check at exit; in a sanitizer build it runs here,
    // and ends the program with its own exit code when something leaked.
    if (__lsan_do_leak_check != nullptr) __lsan_do_leak_check();
    _exit(exitCode);
}

bool platformGetVersion(std::uint32_t& platformId) {
    platformId = VER_PLATFORM_WIN32_NT;
    return true;
}

long platformRegOpenCurrentUserKey(const char*, RegistryKey& key) {
    key = nullptr;
    return ERROR_FILE_NOT_FOUND;
}

long platformRegQueryValue(RegistryKey, const char*, void*, std::uint32_t&) { return ERROR_FILE_NOT_FOUND; }

void platformRegCloseKey(RegistryKey) {}

ModuleHandle platformLoadedModule(const char*) { return nullptr; }
ModuleHandle platformLoadLibrary(const char*) { return nullptr; }
ProcAddress platformGetProcAddress(ModuleHandle, const char*) { return nullptr; }
void platformFreeLibrary(ModuleHandle) {}

bool platformSystemParametersInfo(std::uint32_t, std::uint32_t, std::uint32_t*, std::uint32_t) { return false; }

void platformInstallCrashGuard(void (*handler)()) {
    crashHandler = handler;
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer's own report of the fault says more than this guard can.
    return;
#endif
    struct sigaction action {};
    action.sa_handler = onFault;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : FAULT_SIGNALS) sigaction(signal, &action, nullptr);
}
