// Kernel and system services on Windows, each the call of the same name: the command
// line, the module handle, process exit, the version query, the registry, libraries
// loaded by name, system parameters, the tick count and sleep, message boxes, and the
// crash guard as the process's top-level exception filter.
#include <windows.h>

#include <cstring>

#include "platform/platform.h"
#include "platform/system_services.h"

namespace {

void (*crashHandler)() = nullptr;

// A fault that nothing else caught. The system's own handling decides what happens, as
// it would for a guarded block: it may report the fault or start a debugger. It calls
// the top-level filter itself, so this filter steps aside first. When the system asks
// for the handler, the guard's handler runs and the process ends with -1.
LONG WINAPI crashGuardFilter(EXCEPTION_POINTERS* fault) {
    SetUnhandledExceptionFilter(nullptr);
    const LONG verdict = UnhandledExceptionFilter(fault);
    if (verdict != EXCEPTION_EXECUTE_HANDLER) return verdict;
    if (crashHandler != nullptr) crashHandler();
    ExitProcess(UINT(-1));
}

// The line "caption: text" on standard error, when the process has one.
void writeToStandardError(const char* text, const char* caption) {
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(error, caption, DWORD(std::strlen(caption)), &written, nullptr);
    WriteFile(error, ": ", 2, &written, nullptr);
    WriteFile(error, text, DWORD(std::strlen(text)), &written, nullptr);
    WriteFile(error, "\r\n", 2, &written, nullptr);
}

}  // namespace

std::uint32_t platformTickCount() { return GetTickCount(); }

void platformSleep(std::uint32_t ms) { Sleep(ms); }

const char* platformCommandLine() { return GetCommandLineA(); }

const char* platformCharNext(const char* text) { return CharNextA(text); }

InstanceHandle platformModuleHandle() { return GetModuleHandleA(nullptr); }

void platformExitProcess(std::int32_t exitCode) { ExitProcess(UINT(exitCode)); }

bool platformGetVersion(std::uint32_t& platformId) {
    OSVERSIONINFOA version{};
    static_assert(sizeof version == 148);
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return false;
    platformId = version.dwPlatformId;
    return true;
}

long platformRegOpenCurrentUserKey(const char* path, RegistryKey& key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyA(HKEY_CURRENT_USER, path, &opened);
    key = opened;
    return status;
}

long platformRegQueryValue(RegistryKey key, const char* name, void* buffer, std::uint32_t& size) {
    DWORD bytes = size;
    const LONG status = RegQueryValueExA(static_cast<HKEY>(key), name, nullptr, nullptr,
                                         static_cast<BYTE*>(buffer), &bytes);
    size = bytes;
    return status;
}

void platformRegCloseKey(RegistryKey key) { RegCloseKey(static_cast<HKEY>(key)); }

ModuleHandle platformLoadedModule(const char* name) { return GetModuleHandleA(name); }

ModuleHandle platformLoadLibrary(const char* name) { return LoadLibraryA(name); }

ProcAddress platformGetProcAddress(ModuleHandle module, const char* name) {
    // Through void (*)(): the one function pointer type any entry point converts to
    // without complaint; the caller casts it to the entry's real type.
    return reinterpret_cast<ProcAddress>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void platformFreeLibrary(ModuleHandle module) { FreeLibrary(static_cast<HMODULE>(module)); }

bool platformSystemParametersInfo(std::uint32_t action, std::uint32_t parameter, std::uint32_t* scratch,
                                  std::uint32_t winIni) {
    return SystemParametersInfoA(action, parameter, scratch, winIni) != FALSE;
}

void platformInstallCrashGuard(void (*handler)()) {
    crashHandler = handler;
    SetUnhandledExceptionFilter(crashGuardFilter);
}

void platformMessageBox(WindowHandle owner, const char* text, const char* caption) {
    writeToStandardError(text, caption);
    MessageBoxA(static_cast<HWND>(owner), text, caption, MB_OK);
}
