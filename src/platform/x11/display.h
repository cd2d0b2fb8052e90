#pragma once
// Shared between the X11 platform's files: the connection to the X server, the records of
// the program's own windows with their device contexts, the trap for X errors that a
// call expects, and the hooks between the window code and the GLX binding. Window
// handles are X window ids; a DeviceContext points at an X11DeviceContext.
#include <X11/Xlib.h>

#include <cstdint>

#include "platform/handles.h"
#include "platform/common/window_queue.h"
#include "platform/window_system.h"

// The drawing side of one of the program's windows. Made with the window and kept for
// its life (the class owns its device context, as CS_OWNDC asks).
struct X11DeviceContext {
    Window window;
    Visual* visual;
    VisualID visualId;
    int depth;
    GC gc;              // for the text output, in the server's default font
    int fontAscent;     // from the top of the text to its baseline
    unsigned long textPixel;
    bool transparentText;
    int pixelFormat;    // set once by setPixelFormat; 0 until then
    int viewWidth;      // the window's size when OpenGL's viewport was last fitted to it
    int viewHeight;
};

// One of the program's windows: what the queue keeps of it, then the X side.
struct X11Window : QueueWindow {
    Window id;
    Window parent;       // None for a top-level window
    bool fullScreen;     // the top-most popup: it grabs input and hides the cursor
    bool hadFocus;       // a FocusIn has arrived, so a FocusOut can be a real loss
    bool cursorHidden;
    int width;
    int height;
    Colormap colormap;   // made for the window's visual; None for the default one
    X11DeviceContext dc;
};

// Window handles are X window ids.
inline WindowHandle x11Handle(Window id) { return reinterpret_cast<WindowHandle>(std::uintptr_t(id)); }
inline Window x11Id(WindowHandle handle) { return Window(reinterpret_cast<std::uintptr_t>(handle)); }

// The program's window with this id or handle, or null.
X11Window* x11FindWindow(Window id);
inline X11Window* x11FindHandle(WindowHandle handle) {
    return handle != nullptr ? x11FindWindow(x11Id(handle)) : nullptr;
}

// The pointer's position on the root window; false when it is on another screen.
bool x11PointerPosition(Display* display, int& x, int& y);

// Closes each of the program's top-level windows, as a close request from the user
// would, once a signal (SIGTERM, SIGINT) has asked the saver to end.
void x11HandleEndSignal();

// An X event as the message it stands for; false when it stands for none. Some events
// act on the window instead: exposure asks for paint, a size change is noted, and a
// window destroyed from outside (a preview whose host went away) is destroyed here too.
bool x11TranslateEvent(const XEvent& event, QueuedMessage& message);
// Sends WM_DESTROY to the window and then its children, once, and forgets them. The X
// window is destroyed too unless the server already has.
void x11DestroyWindow(X11Window* window, bool alreadyGone);

// Hosts: windows of other programs (or the root window, or the program's own window of
// host_window.h) that hold one of the program's windows as a child. The child follows the
// host's size: the host's structure events are asked for, and a host's new size is handed
// to its children. A close request from the window manager to the program's own host
// closes its children, as a signal would.
void x11FollowHost(Display* display, Window host);
// An event of a window that is not one of the program's; false when it is none of the
// above.
bool x11HandleHostEvent(const XEvent& event);
void x11ResizeChildrenOf(Window host, int width, int height);
void x11CloseChildrenOf(Window host);

// Atoms, interned when the connection opens.
struct X11Atoms {
    Atom wmProtocols;
    Atom wmDeleteWindow;
    Atom netActiveWindow;
};
extern X11Atoms x11Atoms;

// The connection, opened on first use. Null, after one line on standard error saying
// why, when there is no display to open; callers then answer as for a missing window.
Display* x11Display();
// The connection only if it is already open: no attempt to open it.
Display* x11DisplayIfOpen();

// Errors that a call expects, such as asking about a window that may be gone. Between
// begin and end, X errors are counted instead of reported; end waits for the server to
// answer everything sent so far and returns the first error code caught, or 0.
void x11BeginErrorTrap();
int x11EndErrorTrap();
// X errors that arrived outside a trap, for the statistics line.
unsigned x11UntrappedErrorCount();

// The pixel of an RGB colour in a TrueColor or DirectColor visual; black or white in any
// other.
unsigned long x11PixelOf(const Visual* visual, std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// The device context of one of the program's windows, or null for any other handle.
X11DeviceContext* x11DeviceContextOf(DeviceContext dc);

// The window code asks the GLX binding which visual a new window should have: the one
// of the pixel format closest to a request for the screen's own depth, so that the
// format the program later asks for can be set on it. False without GLX or without any
// double-buffered RGBA visual with a depth buffer; the window then takes the screen's
// default visual and draws no OpenGL.
bool x11ChooseWindowVisual(Display* display, int screen, Visual*& visual, int& depth);

// The GLX binding waits here for OpenGL to finish drawing before Xlib draws on the same
// window, so that the text lands on top of the picture. Does nothing without a current
// rendering context.
void x11WaitForGl();
