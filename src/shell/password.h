#pragma once
// The password hooks of the Windows 95 family: the desktop's setting says whether the
// running saver is protected, the system's password component checks the password before
// the saver may close and changes it in the change-password mode. Elsewhere every call
// here does nothing, and every close request ends the saver at once.
#include <cstdint>

#include "platform/handles.h"
#include "platform/library_entries.h"

extern ModuleHandle passwordLibrary;
extern VerifyPasswordFn verifyPasswordFn;
// 1 while the verifier runs: the dismissal rules stay quiet and a second close waits.
extern std::int32_t checkingPassword;
// When the last verifier run ended; 0xFFFFFFFF before the first.
extern std::uint32_t lastPasswordCheckTick;

// Loads the verifier when the desktop asks for a password; the saver-running state is on
// while it is loaded.
void loadPasswordHook();
void unloadPasswordHook();
void setScreenSaverRunning(std::int32_t flag);

// Whether a close request of the window may go on; runs the verifier when one is loaded.
std::int32_t verifyPassword(WindowHandle window);

// The change-password mode: text holds the owner window's number. Returns 0.
std::int32_t runChangePassword(const char* text);
void changePassword(WindowHandle owner);
