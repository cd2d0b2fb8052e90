// The wide-character calls as the Windows 95 family's system libraries export them: stubs
// that fail, setting the last error to ERROR_CALL_NOT_IMPLEMENTED. Built by the Wine
// suite as orvel-stub-unicode.dll and never shipped; the driver points the wide-character
// imports of a copy of Orvel.scr here (driver/wide_imports.cpp). Each call is logged to
// unicode-log.txt in the library's own folder, after the tick count:
//
//   attach                 the library was loaded
//   call name=NAME         a stub ran and failed
//
// The stub of the call NAME is exported as failingNAME, where the driver points the
// import; the driver names a wide call that has no stub here.
#include <windows.h>

#include "stub_log.h"

namespace {

template <typename Result>
Result notImplemented(const char* name) {
    stub::log("unicode-log.txt", "call name=%s", name);
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return Result{};
}

}  // namespace

extern "C" {

__declspec(dllexport) HMODULE WINAPI failingGetModuleHandleW(LPCWSTR) {
    return notImplemented<HMODULE>("GetModuleHandleW");
}

__declspec(dllexport) HMODULE WINAPI failingLoadLibraryW(LPCWSTR) { return notImplemented<HMODULE>("LoadLibraryW"); }

__declspec(dllexport) HMODULE WINAPI failingLoadLibraryExW(LPCWSTR, HANDLE, DWORD) {
    return notImplemented<HMODULE>("LoadLibraryExW");
}

__declspec(dllexport) DWORD WINAPI failingGetModuleFileNameW(HMODULE, LPWSTR, DWORD) {
    return notImplemented<DWORD>("GetModuleFileNameW");
}

__declspec(dllexport) HANDLE WINAPI failingCreateSemaphoreW(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR) {
    return notImplemented<HANDLE>("CreateSemaphoreW");
}

__declspec(dllexport) HANDLE WINAPI failingCreateEventW(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCWSTR) {
    return notImplemented<HANDLE>("CreateEventW");
}

__declspec(dllexport) HANDLE WINAPI failingCreateMutexW(LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR) {
    return notImplemented<HANDLE>("CreateMutexW");
}

__declspec(dllexport) DWORD WINAPI failingGetEnvironmentVariableW(LPCWSTR, LPWSTR, DWORD) {
    return notImplemented<DWORD>("GetEnvironmentVariableW");
}

__declspec(dllexport) void WINAPI failingOutputDebugStringW(LPCWSTR) { notImplemented<int>("OutputDebugStringW"); }

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        stub::self = instance;
        stub::log("unicode-log.txt", "attach");
    }
    return TRUE;
}
