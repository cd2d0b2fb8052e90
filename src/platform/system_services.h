#pragma once
// Kernel and system services of the shell, with the meaning of the Windows calls they
// stand for: the command line and process exit, the version query, the registry, run-time
// loading of libraries by name, system parameters and the crash guard. A platform that
// lacks one answers as Windows does when the thing is absent: no key, no library.
#include <cstdint>

#include "platform/handles.h"

// GetCommandLineA: the whole command line, the program name first.
const char* platformCommandLine();

// CharNextA: the next character of text, one or two bytes on; at the end, the end.
const char* platformCharNext(const char* text);

// GetModuleHandleA(none): the program's own module.
InstanceHandle platformModuleHandle();

// ExitProcess: ends the process at once with the code; no destructor or exit handler runs.
[[noreturn]] void platformExitProcess(std::int32_t exitCode);

// GetVersionExA: true with the platform identifier (1 for the Windows 95 family), or
// false when the query fails.
bool platformGetVersion(std::uint32_t& platformId);

// The current user's registry: RegOpenKeyA under HKEY_CURRENT_USER, RegQueryValueExA
// into a buffer whose size is given and updated to the bytes returned, RegCloseKey.
// 0 on success, as the registry calls answer.
long platformRegOpenCurrentUserKey(const char* path, RegistryKey& key);
long platformRegQueryValue(RegistryKey key, const char* name, void* buffer, std::uint32_t& size);
void platformRegCloseKey(RegistryKey key);

// GetModuleHandleA(name): a library the process has already loaded, without loading it.
ModuleHandle platformLoadedModule(const char* name);
// LoadLibraryA, GetProcAddress, FreeLibrary.
ModuleHandle platformLoadLibrary(const char* name);
ProcAddress platformGetProcAddress(ModuleHandle module, const char* name);
void platformFreeLibrary(ModuleHandle module);

// SystemParametersInfoA with an integer parameter and a scratch word.
bool platformSystemParametersInfo(std::uint32_t action, std::uint32_t parameter, std::uint32_t* scratch,
                                  std::uint32_t winIni);

// The crash guard: when a fault escapes the running mode and the platform's own handling
// of unhandled faults asks for it, handler runs and the process ends with -1.
void platformInstallCrashGuard(void (*handler)());

// A message box with an OK button owned by owner (or none), and a line
// "caption: text" on standard error where there is one.
void platformMessageBox(WindowHandle owner, const char* text, const char* caption);
