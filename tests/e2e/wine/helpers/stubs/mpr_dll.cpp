// A stand-in for the network-provider library MPR.DLL, built by the Wine suite and loaded
// in place of Wine's own (WINEDLLOVERRIDES mpr=n, the file next to Orvel.scr), never
// shipped. Its PwdChangePasswordA changes nothing: it writes what it was given to
// mpr-log.txt in the library's own folder and reports success. Lines, each after the
// tick count:
//
//   attach                              the library was loaded
//   change provider=P owner=0xW reserved1=R1 reserved2=0xR2
//   detach                              it was released (exit=1: by the process's end)
#include <windows.h>

#include "stub_log.h"

extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD reserved1, LPVOID reserved2) {
    stub::log("mpr-log.txt", "change provider=%s owner=0x%llx reserved1=%lu reserved2=0x%llx",
              provider != nullptr ? provider : "(none)", stub::handleNumber(owner), reserved1,
              stub::handleNumber(reserved2));
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        stub::self = instance;
        stub::log("mpr-log.txt", "attach");
    } else if (reason == DLL_PROCESS_DETACH) {
        stub::log("mpr-log.txt", "%s", reserved != nullptr ? "detach exit=1" : "detach");
    }
    return TRUE;
}
