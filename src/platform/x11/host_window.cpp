// Hosts of the saver's window on X11: whoever hands it a window to draw in. The saver
// draws in a child over the whole host (as a preview does), which follows the host's
// size. The window mode makes a host of the program's own.
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstring>

#include "platform/common/embedded_resources.h"
#include "platform/resource_ids.h"
#include "platform/x11/dialog.h"
#include "platform/x11/display.h"
#include "platform/program_start.h"

namespace {

Window ownWindow = None;


bool isDeleteRequest(const XClientMessageEvent& message) {
    return message.message_type == x11Atoms.wmProtocols && message.format == 32 &&
           Atom(message.data.l[0]) == x11Atoms.wmDeleteWindow;
}

}  // namespace

void x11FollowHost(Display* display, Window host) {
    // The program's own host selects these already; another program's window, the root
    // window included, gives each client the events that client asks for.
    if (host == ownWindow) return;
    x11BeginErrorTrap();
    XSelectInput(display, host, StructureNotifyMask);
    x11EndErrorTrap();
}

bool x11HandleHostEvent(const XEvent& event) {
    switch (event.type) {
        case ConfigureNotify:
            if (event.xconfigure.event != event.xconfigure.window) return false;  // about a child
            x11ResizeChildrenOf(event.xconfigure.window, event.xconfigure.width, event.xconfigure.height);
            return true;
        case ClientMessage:
            if (event.xclient.window != ownWindow || ownWindow == None || !isDeleteRequest(event.xclient)) {
                return false;
            }
            x11CloseChildrenOf(ownWindow);
            return true;
        default:
            return false;
    }
}

WindowHandle platformRootWindow() {
    Display* display = x11Display();
    return display != nullptr ? x11Handle(DefaultRootWindow(display)) : nullptr;
}

WindowHandle platformOpenOwnWindow(const char* title, int width, int height) {
    Display* display = x11Display();
    if (display == nullptr) return nullptr;
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = StructureNotifyMask;
    const Window window = XCreateWindow(display, RootWindow(display, screen), 0, 0, unsigned(width), unsigned(height),
                                        0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask,
                                        &attributes);
    XStoreName(display, window, title);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title), int(std::strlen(title)));
    XClassHint classHint{};
    classHint.res_name = const_cast<char*>("orvel");
    classHint.res_class = const_cast<char*>("Orvel");
    XSetClassHint(display, window, &classHint);
    if (XSizeHints* size = XAllocSizeHints()) {
        size->flags = PSize | PMinSize;
        size->width = width;
        size->height = height;
        size->min_width = 1;
        size->min_height = 1;
        XSetWMNormalHints(display, window, size);
        XFree(size);
    }
    Atom protocols[] = {x11Atoms.wmDeleteWindow};
    XSetWMProtocols(display, window, protocols, 1);
    x11SetWindowIcon(display, window, &orvelResources, IDI_ORVEL);
    XMapWindow(display, window);
    XSync(display, False);
    ownWindow = window;
    return x11Handle(window);
}
