// What the saver asks of the desktop on X11: other programs' windows (a running saver's,
// a host's), the active window, the screen's size and the pointer.
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstring>

#include "platform/platform.h"
#include "platform/window_system.h"
#include "platform/x11/display.h"

bool platformIsWindow(WindowHandle window) {
    if (window == nullptr) return false;
    if (x11FindHandle(window) != nullptr) return true;
    Display* display = x11Display();
    if (display == nullptr) return false;
    XWindowAttributes attributes;
    x11BeginErrorTrap();
    const Status found = XGetWindowAttributes(display, x11Id(window), &attributes);
    return x11EndErrorTrap() == 0 && found != 0;
}

WindowHandle platformFindWindow(const char* className, const char* title) {
    Display* display = x11Display();
    if (display == nullptr || className == nullptr || title == nullptr) return nullptr;
    Window root = DefaultRootWindow(display);
    Window rootReturn = None;
    Window parentReturn = None;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = None;
    // Windows can go at any moment while they are looked at; their errors are expected.
    x11BeginErrorTrap();
    if (XQueryTree(display, root, &rootReturn, &parentReturn, &children, &count) != 0) {
        for (unsigned i = 0; i < count && found == None; ++i) {
            XClassHint hint{};
            if (XGetClassHint(display, children[i], &hint) == 0) continue;
            const bool classMatches = hint.res_class != nullptr && std::strcmp(hint.res_class, className) == 0;
            XFree(hint.res_name);
            XFree(hint.res_class);
            char* name = nullptr;
            if (classMatches && XFetchName(display, children[i], &name) != 0 && name != nullptr) {
                if (std::strcmp(name, title) == 0) found = children[i];
            }
            XFree(name);
        }
        XFree(children);
    }
    x11EndErrorTrap();
    return x11Handle(found);
}

WindowHandle platformGetForegroundWindow() {
    Display* display = x11Display();
    if (display == nullptr) return nullptr;
    Window active = None;
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    x11BeginErrorTrap();
    if (XGetWindowProperty(display, DefaultRootWindow(display), x11Atoms.netActiveWindow, 0, 1, False, XA_WINDOW,
                           &type, &format, &items, &after, &data) == Success &&
        type == XA_WINDOW && format == 32 && items == 1 && data != nullptr) {
        active = Window(reinterpret_cast<const unsigned long*>(data)[0]);
    }
    XFree(data);
    if (active == None) {
        int revert = 0;
        XGetInputFocus(display, &active, &revert);
        if (active == PointerRoot) active = None;
    }
    x11EndErrorTrap();
    return x11Handle(active);
}

void platformSetForegroundWindow(WindowHandle window) {
    Display* display = x11Display();
    if (display == nullptr || window == nullptr) return;
    x11BeginErrorTrap();
    XRaiseWindow(display, x11Id(window));
    if (const X11Window* w = x11FindHandle(window); w != nullptr && w->fullScreen) {
        XSetInputFocus(display, w->id, RevertToParent, CurrentTime);
    }
    x11EndErrorTrap();
}

ScreenRect platformScreenRect() {
    Display* display = x11Display();
    if (display == nullptr) return {0, 0, 0, 0};
    const int screen = DefaultScreen(display);
    return {0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
}

ScreenRect platformClientRect(WindowHandle window) {
    if (const X11Window* w = x11FindHandle(window)) return {0, 0, w->width, w->height};
    Display* display = x11Display();
    if (display == nullptr || window == nullptr) return {0, 0, 0, 0};
    XWindowAttributes attributes{};
    x11BeginErrorTrap();
    const Status found = XGetWindowAttributes(display, x11Id(window), &attributes);
    if (x11EndErrorTrap() != 0 || found == 0) return {0, 0, 0, 0};
    return {0, 0, attributes.width, attributes.height};
}

bool x11PointerPosition(Display* display, int& x, int& y) {
    Window root = None;
    Window child = None;
    int windowX = 0;
    int windowY = 0;
    unsigned state = 0;
    return XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &windowX, &windowY, &state) != 0;
}

CursorPos platformGetCursorPos() {
    Display* display = x11Display();
    CursorPos position{0, 0};
    if (display != nullptr) x11PointerPosition(display, position.x, position.y);
    return position;
}
