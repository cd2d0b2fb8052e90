#pragma once
// The saver window's procedures, chained: the shell's shellWindowProc shields the saver
// and hides the cursor, the program's saverWindowProc ties the window's life to the scene,
// and the shell's defaultSaverProc applies the dismissal rules before the platform's
// default processing.
#include <cstdint>

#include "platform/handles.h"

LRESULT shellWindowProc(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
LRESULT saverWindowProc(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
LRESULT defaultSaverProc(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam);

// The frame timer's identifier as the platform returned it.
extern std::uintptr_t timerId;
