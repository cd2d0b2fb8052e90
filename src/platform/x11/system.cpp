// The X11 program's message box; its other system services are the shared POSIX ones
// (platform/posix/system.cpp).
#include <cstdio>

#include "platform/system_services.h"
#include "platform/x11/dialog.h"
#include "platform/x11/display.h"

// The line on standard error first, so that it is there whatever becomes of the box. The
// box needs a display the program already has open: a message while there is none (a
// mode that failed to open one) is not a reason to try again.
void platformMessageBox(WindowHandle owner, const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    if (x11DisplayIfOpen() != nullptr) x11MessageBox(owner, text, caption);
}
