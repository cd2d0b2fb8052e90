#pragma once
// The process entry and the run modes: full-screen saver, preview, configure dialog and
// change password, chosen by the switch on the command line.
#include <cstdint>

#include "platform/handles.h"

// The entry after the run-time library's start-up: runs the mode the command line asks
// for and ends the process with its result. Does not return.
[[noreturn]] void saverEntry();

// Runs the mode of argumentText for the module instance; the result is the exit code:
// the mode's own, or -1 for an unknown switch or a mode this platform cannot run.
std::int32_t saverMain(InstanceHandle instance, const char* argumentText);

// The preview in the window whose number text holds, or -1 without such a window.
std::int32_t runPreview(const char* text);

// The configure dialog, owned by owner (or none): the dialog's result, 0 when the class
// hook refuses, -1 when the dialog cannot be made.
std::int32_t showConfigureDialog(WindowHandle owner);
