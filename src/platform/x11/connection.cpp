// The connection to the X server and Xlib's two error handlers. Xlib's own handlers end
// the process: an X error (a request about a window that has just gone, say) is instead
// counted and the program carries on, and a lost connection ends the program with its
// own exit code at once, so that it can never spin on a dead socket.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/posix/process.h"
#include "platform/x11/display.h"
#include "platform/x11/start.h"

namespace {

Display* display = nullptr;
bool openTried = false;
int trapDepth = 0;
int trappedError = 0;
unsigned untrappedErrors = 0;

int onXError(Display*, XErrorEvent* error) {
    if (trapDepth > 0) {
        if (trappedError == 0) trappedError = error->error_code;
    } else {
        ++untrappedErrors;
    }
    return 0;
}

// Xlib expects this handler not to return.
int onIoError(Display*) {
    std::fprintf(stderr, "orvel: lost the connection to the X server; ending with exit code %d\n",
                 X11_LOST_SERVER_EXIT_CODE);
    posixWriteStats();
    std::fflush(nullptr);
    _exit(X11_LOST_SERVER_EXIT_CODE);
}

}  // namespace

X11Atoms x11Atoms{};

Display* x11Display() {
    if (openTried) return display;
    openTried = true;
    XSetErrorHandler(onXError);
    XSetIOErrorHandler(onIoError);
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0') {
        std::fprintf(stderr, "orvel: no X display: DISPLAY is not set\n");
        return nullptr;
    }
    display = XOpenDisplay(name);
    if (display == nullptr) {
        std::fprintf(stderr, "orvel: cannot open the X display \"%s\"\n", name);
        return nullptr;
    }
    x11Atoms.wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
    x11Atoms.wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    x11Atoms.netActiveWindow = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    return display;
}

Display* x11DisplayIfOpen() { return display; }

void x11BeginErrorTrap() {
    // Errors of earlier requests arrive first and are not the caller's.
    if (trapDepth == 0 && display != nullptr) XSync(display, False);
    if (trapDepth++ == 0) trappedError = 0;
}

int x11EndErrorTrap() {
    if (display != nullptr) XSync(display, False);
    const int error = trappedError;
    if (--trapDepth == 0) trappedError = 0;
    return error;
}

unsigned x11UntrappedErrorCount() { return untrappedErrors; }
