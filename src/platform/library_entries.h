#pragma once
// The entry points that the shell finds by name at run time in libraries of the system
// (GetProcAddress), with the calling convention the system gives them.
//
// SYSTEM_CALL is that convention: Windows' own (what windows.h calls WINAPI and
// CALLBACK, __stdcall: the callee pops its arguments) wherever the compiler targets
// Windows, and nothing elsewhere, where these entries are the headless platform's
// scripted stand-ins with the one convention the compiler has. It matters on 32-bit
// Windows only, where an entry called with the wrong convention leaves the stack
// unbalanced after the call; 64-bit Windows has one convention, and the compiler ignores
// the name there. This header cannot take the name from windows.h, which the portable
// code never includes, so it asks the compiler which system it builds for: the one place
// outside the backends that does, kept to this macro. src/platform/win32/
// calling_conventions.cpp holds each type below against the signature Windows gives it.
#include <cstdint>

#include "platform/handles.h"

#if defined(_WIN32)
#define SYSTEM_CALL __stdcall
#else
#define SYSTEM_CALL
#endif

// "ImmAssociateContext" of IMM32.DLL: gives the window another input context (none
// detaches it from input methods) and answers the one it had.
using ImmAssociateContextFn = void*(SYSTEM_CALL*)(WindowHandle window, void* inputContext);

// "VerifyScreenSavePwd" of PASSWORD.CPL on the Windows 95 family: shows the password
// dialog owned by the window; nonzero when the right password was given.
using VerifyPasswordFn = std::int32_t(SYSTEM_CALL*)(WindowHandle window);

// "PwdChangePasswordA" of MPR.DLL on the Windows 95 family: runs the provider's own
// change-password dialog owned by the window.
using ChangePasswordFn = std::uint32_t(SYSTEM_CALL*)(const char* provider, WindowHandle owner, std::uint32_t,
                                                    void*);
