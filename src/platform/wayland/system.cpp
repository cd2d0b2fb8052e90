// The Wayland program's message box; its other system services are the shared POSIX ones
// (platform/posix/system.cpp).
#include <cstdio>

#include "platform/system_services.h"

// Wayland gives a client no message box of its own: the line on standard error is the
// message.
void platformMessageBox(WindowHandle, const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}
