// The program's windows on X11 and their message queue in Windows' order. A sent message
// runs the window procedure at once; GetMessage takes posted messages first, then input
// (X events, translated in events.cpp), then the quit message, then paint for a window
// that still needs it, and a timer tick last. It waits on the X connection with poll.
//
// The full-screen saver window is an override-redirect window over the whole root window
// that takes the keyboard and pointer and hides the cursor; a preview is a child of the
// host's window that selects no key or button input, so that they reach the host. A
// child of the root window itself (a host that hands over the whole screen) is a
// top-level window, made override-redirect so that no window manager frames it. A child
// follows its host's size.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <cstdio>
#include <cstring>

#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/window_queue.h"
#include "platform/window_system.h"
#include "platform/x11/display.h"

namespace {

constexpr std::uint32_t GRAB_ATTEMPT_MS = 1000;
constexpr std::uint32_t GRAB_RETRY_MS = 10;

constexpr long FULL_SCREEN_EVENTS = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                                    PointerMotionMask | FocusChangeMask | ExposureMask | StructureNotifyMask;
constexpr long PREVIEW_EVENTS = ExposureMask | StructureNotifyMask;
constexpr unsigned POINTER_GRAB_EVENTS = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;

X11Window windows[QUEUE_WINDOW_CAPACITY];
bool endSignalHandled = false;
Cursor invisibleCursor = None;
X11DeviceContext screenDC{};

WindowHandle handleOf(Window id) { return reinterpret_cast<WindowHandle>(std::uintptr_t(id)); }
Window idOf(WindowHandle handle) { return Window(reinterpret_cast<std::uintptr_t>(handle)); }

X11Window* findHandle(WindowHandle handle) { return handle != nullptr ? x11FindWindow(idOf(handle)) : nullptr; }

X11Window* freeRecord() {
    for (X11Window& w : windows) {
        if (!w.inUse) return &w;
    }
    return nullptr;
}

Cursor makeInvisibleCursor(Display* display, Window window) {
    static const char noBits[1] = {0};
    Pixmap blank = XCreateBitmapFromData(display, window, noBits, 1, 1);
    XColor black{};
    Cursor cursor = XCreatePixmapCursor(display, blank, blank, &black, &black, 0, 0);
    XFreePixmap(display, blank);
    return cursor;
}

// The device context's GC and font metrics, made with the window so that text output
// while frames run allocates nothing.
void prepareDeviceContext(Display* display, X11Window& w, Visual* visual, int depth) {
    X11DeviceContext& dc = w.dc;
    dc = X11DeviceContext{};
    dc.window = w.id;
    dc.visual = visual;
    dc.visualId = XVisualIDFromVisual(visual);
    dc.depth = depth;
    dc.viewWidth = w.width;  // the drawing code sets its viewport to the size at creation
    dc.viewHeight = w.height;
    dc.gc = XCreateGC(display, w.id, 0, nullptr);
    dc.fontAscent = 10;
    if (XFontStruct* font = XQueryFont(display, XGContextFromGC(dc.gc))) {
        dc.fontAscent = font->ascent;
        // XQueryFont gives one structure: a count of 1 frees its per-character metrics
        // and its properties with it.
        XFreeFontInfo(nullptr, font, 1);
    }
    dc.textPixel = x11PixelOf(visual, 0, 0, 0);
    XSetForeground(display, dc.gc, dc.textPixel);
}

void setNames(Display* display, Window id, const char* className, const char* title) {
    XClassHint hint{};
    hint.res_name = const_cast<char*>(className);
    hint.res_class = const_cast<char*>(className);
    XSetClassHint(display, id, &hint);
    XStoreName(display, id, title != nullptr ? title : "");
    Atom protocols[] = {x11Atoms.wmDeleteWindow};
    XSetWMProtocols(display, id, protocols, 1);
}

// The keyboard and the pointer, taken for the full-screen saver. Another client may hold
// them for a moment (a menu, a drag), so each is asked for again for up to a second.
void grabInput(Display* display, Window id) {
    bool keyboard = false;
    bool pointer = false;
    const std::uint32_t start = platformTickCount();
    for (;;) {
        if (!keyboard) {
            keyboard = XGrabKeyboard(display, id, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
        }
        if (!pointer) {
            pointer = XGrabPointer(display, id, False, POINTER_GRAB_EVENTS, GrabModeAsync, GrabModeAsync, None,
                                   invisibleCursor, CurrentTime) == GrabSuccess;
        }
        if ((keyboard && pointer) || platformTickCount() - start >= GRAB_ATTEMPT_MS) break;
        platformSleep(GRAB_RETRY_MS);
    }
    if (!keyboard) std::fprintf(stderr, "orvel: another program holds the keyboard; running without grabbing it\n");
    if (!pointer) std::fprintf(stderr, "orvel: another program holds the pointer; running without grabbing it\n");
}

// A signal asked the saver to end: each of the program's top-level windows gets a close
// request, as the user's input would give it.
void handleEndSignal() {
    if (endSignalHandled || !x11EndRequested()) return;
    endSignalHandled = true;
    x11DrainWakeDescriptor();
    for (X11Window& w : windows) {
        if (w.inUse && !w.destroying && x11FindWindow(w.parent) == nullptr) {
            platformPostMessage(handleOf(w.id), WM_CLOSE, 0, 0);
        }
    }
}

// Waits for X input, a signal or the next timer tick. False when nothing can ever come.
bool waitForEvents(Display* display, int timeout) {
    pollfd sources[2] = {{-1, POLLIN, 0}, {x11WakeDescriptor(), POLLIN, 0}};
    if (display != nullptr) {
        // Sends what is buffered, and catches events that arrived meanwhile: poll would
        // not see those, as Xlib has already read them.
        if (XEventsQueued(display, QueuedAfterFlush) > 0) return true;
        sources[0].fd = ConnectionNumber(display);
    }
    if (sources[0].fd < 0 && timeout < 0) return false;
    poll(sources, 2, timeout);
    return true;
}

}  // namespace

X11Window* x11FindWindow(Window id) {
    if (id == None) return nullptr;
    for (X11Window& w : windows) {
        if (w.inUse && w.id == id) return &w;
    }
    return nullptr;
}

X11DeviceContext* x11DeviceContextOf(DeviceContext dc) {
    for (X11Window& w : windows) {
        if (w.inUse && dc == &w.dc) return &w.dc;
    }
    return nullptr;
}

void x11DestroyWindow(X11Window* w, bool alreadyGone) {
    if (w == nullptr || !w->inUse || w->destroying) return;
    w->destroying = true;
    const Window id = w->id;
    // The window learns of its end first, then its children, as on Windows.
    if (w->procedure != nullptr) w->procedure(handleOf(id), WM_DESTROY, 0, 0);
    for (X11Window& child : windows) {
        if (child.inUse && child.parent == id) x11DestroyWindow(&child, alreadyGone);
    }
    queueForgetWindow(handleOf(id));
    if (Display* display = x11DisplayIfOpen()) {
        if (w->dc.gc != nullptr) XFreeGC(display, w->dc.gc);
        if (!alreadyGone) XDestroyWindow(display, id);
        if (w->colormap != None) XFreeColormap(display, w->colormap);
        XFlush(display);
    }
    *w = X11Window{};
}

void x11ResizeChildrenOf(Window host, int width, int height) {
    Display* display = x11DisplayIfOpen();
    if (display == nullptr || width <= 0 || height <= 0) return;
    for (X11Window& w : windows) {
        if (w.inUse && !w.destroying && w.parent == host && (w.width != width || w.height != height)) {
            XResizeWindow(display, w.id, unsigned(width), unsigned(height));
        }
    }
}

void x11CloseChildrenOf(Window host) {
    for (X11Window& w : windows) {
        if (w.inUse && !w.destroying && w.parent == host) platformPostMessage(handleOf(w.id), WM_CLOSE, 0, 0);
    }
}

// --- platform.h: device contexts and client size

DeviceContext platformGetDC(WindowHandle window) {
    if (X11Window* w = findHandle(window)) return &w->dc;
    if (window == nullptr && x11Display() != nullptr) {
        Display* display = x11DisplayIfOpen();
        screenDC.depth = DefaultDepth(display, DefaultScreen(display));
        return &screenDC;
    }
    return nullptr;
}

void platformReleaseDC(WindowHandle, DeviceContext) {}

ClientSize platformClientSize(WindowHandle window) {
    if (const X11Window* w = findHandle(window)) return {w->width, w->height};
    const ScreenRect rect = platformClientRect(window);
    return {rect.right, rect.bottom};
}

// --- window_system.h

bool platformRegisterClass(const WindowClassRequest& request) { return queueRegisterClass(request); }

WindowHandle platformCreateWindow(const WindowRequest& request) {
    const WindowProc procedure = queueClassProcedure(request.className);
    Display* display = x11Display();
    X11Window* w = freeRecord();
    if (procedure == nullptr || display == nullptr || w == nullptr) return nullptr;
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const bool child = (request.style & WS_CHILD) != 0;
    Window parent = root;
    if (child) {
        if (request.parent == nullptr || !platformIsWindow(request.parent)) return nullptr;
        parent = idOf(request.parent);
    }

    Visual* visual = DefaultVisual(display, screen);
    int depth = DefaultDepth(display, screen);
    Colormap colormap = None;
    if (x11ChooseWindowVisual(display, screen, visual, depth)) {
        colormap = XCreateColormap(display, root, visual, AllocNone);
    }

    // Visual, colormap and border are all given, so that a preview fits any host.
    XSetWindowAttributes attributes{};
    unsigned long mask = CWBackPixel | CWBorderPixel | CWEventMask | CWColormap;
    attributes.colormap = colormap != None ? colormap : DefaultColormap(display, screen);
    attributes.background_pixel = x11PixelOf(visual, 0, 0, 0);
    attributes.border_pixel = 0;
    const bool fullScreen = !child && (request.exStyle & WS_EX_TOPMOST) != 0;
    const bool overRoot = child && parent == root;
    attributes.event_mask = child ? PREVIEW_EVENTS : FULL_SCREEN_EVENTS;
    if (fullScreen || overRoot) {
        attributes.override_redirect = True;
        mask |= CWOverrideRedirect;
    }
    // X has no empty windows: a host of size 0 gets a 1 x 1 preview.
    const unsigned width = request.width > 0 ? unsigned(request.width) : 1u;
    const unsigned height = request.height > 0 ? unsigned(request.height) : 1u;

    x11BeginErrorTrap();
    const Window id = XCreateWindow(display, parent, request.x, request.y, width, height, 0, depth, InputOutput,
                                    visual, mask, &attributes);
    if (x11EndErrorTrap() != 0) {
        if (colormap != None) XFreeColormap(display, colormap);
        return nullptr;
    }

    *w = X11Window{};
    queueOpenWindow(*w, handleOf(id), procedure);
    w->id = id;
    w->parent = child ? parent : None;
    w->fullScreen = fullScreen;
    w->width = int(width);
    w->height = int(height);
    w->colormap = colormap;
    setNames(display, id, request.className, request.title);
    prepareDeviceContext(display, *w, visual, depth);
    if (fullScreen && invisibleCursor == None) invisibleCursor = makeInvisibleCursor(display, id);

    const WindowHandle handle = handleOf(id);
    if (w->procedure(handle, WM_CREATE, 0, 0) == -1) {
        x11DestroyWindow(w, false);
        return nullptr;
    }
    if (!w->inUse || w->id != id) return nullptr;
    if (child && x11FindWindow(parent) == nullptr) x11FollowHost(display, parent);
    if ((request.style & WS_VISIBLE) != 0) {
        if (fullScreen || overRoot) {
            XMapRaised(display, id);
        } else {
            XMapWindow(display, id);
        }
        XSync(display, False);
        w->needsPaint = true;
        w->procedure(handle, WM_SHOWWINDOW, 1, 0);
        if (fullScreen && x11FindWindow(id) != nullptr) grabInput(display, id);
    }
    return x11FindWindow(id) != nullptr ? handle : nullptr;
}

void platformDestroyWindow(WindowHandle window) { x11DestroyWindow(findHandle(window), false); }

bool platformIsWindow(WindowHandle window) {
    if (window == nullptr) return false;
    if (findHandle(window) != nullptr) return true;
    Display* display = x11Display();
    if (display == nullptr) return false;
    XWindowAttributes attributes;
    x11BeginErrorTrap();
    const Status found = XGetWindowAttributes(display, idOf(window), &attributes);
    return x11EndErrorTrap() == 0 && found != 0;
}

WindowHandle platformGetParent(WindowHandle window) {
    const X11Window* w = findHandle(window);
    return w != nullptr ? handleOf(w->parent) : nullptr;
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
    return handleOf(found);
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
    return handleOf(active);
}

void platformSetForegroundWindow(WindowHandle window) {
    Display* display = x11Display();
    if (display == nullptr || window == nullptr) return;
    x11BeginErrorTrap();
    XRaiseWindow(display, idOf(window));
    if (const X11Window* w = findHandle(window); w != nullptr && w->fullScreen) {
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
    if (const X11Window* w = findHandle(window)) return {0, 0, w->width, w->height};
    Display* display = x11Display();
    if (display == nullptr || window == nullptr) return {0, 0, 0, 0};
    XWindowAttributes attributes{};
    x11BeginErrorTrap();
    const Status found = XGetWindowAttributes(display, idOf(window), &attributes);
    if (x11EndErrorTrap() != 0 || found == 0) return {0, 0, 0, 0};
    return {0, 0, attributes.width, attributes.height};
}

std::int32_t platformColorDepth(DeviceContext dc) {
    if (const X11DeviceContext* record = x11DeviceContextOf(dc)) return record->depth;
    return dc == &screenDC ? screenDC.depth : 0;
}

int platformGetMessage(QueuedMessage& message) {
    handleEndSignal();
    return queueGetMessage(message);
}

LRESULT platformDefWindowProc(WindowHandle window, std::uint32_t message, WPARAM, LPARAM) {
    return queueDefaultProcessing(window, message);
}

CursorPos platformGetCursorPos() {
    Display* display = x11Display();
    if (display == nullptr) return {0, 0};
    Window root = None;
    Window child = None;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned state = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y, &state);
    return {rootX, rootY};
}

// SetCursor(none): the full-screen window shows an invisible cursor from now on (its
// pointer grab already does). Done once, so that asking before every frame costs nothing.
void platformHideCursor() {
    Display* display = x11DisplayIfOpen();
    if (display == nullptr || invisibleCursor == None) return;
    for (X11Window& w : windows) {
        if (w.inUse && w.fullScreen && !w.cursorHidden) {
            XDefineCursor(display, w.id, invisibleCursor);
            w.cursorHidden = true;
        }
    }
}

// --- The queue's backend calls

QueueWindow& backendQueueWindow(int index) { return windows[index]; }

// The next X event that stands for a message; the others are handled on the way.
bool backendTakeInput(QueuedMessage& message) {
    Display* display = x11DisplayIfOpen();
    while (display != nullptr && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (x11TranslateEvent(event, message)) return true;
    }
    return false;
}

bool backendWaitForEvents(std::int64_t timerDelayMs) {
    const bool waited = waitForEvents(x11DisplayIfOpen(), int(timerDelayMs));
    handleEndSignal();
    return waited;
}

void backendNoteMessageMade(const QueuedMessage& message) {
    if (message.message == WM_PAINT) x11NoteFrameStart();
}

void backendDestroyWindow(QueueWindow& window) { x11DestroyWindow(static_cast<X11Window*>(&window), false); }
