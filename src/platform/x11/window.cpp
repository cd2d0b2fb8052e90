// The program's windows on X11: their records for the Windows message queue
// (platform/common/window_queue.h, with input and waiting in events.cpp), their making and
// ending, device contexts, and the cursor.
//
// The full-screen saver window is an override-redirect window over the whole root window
// that takes the keyboard and pointer and hides the cursor; a preview is a child of the
// host's window that selects no key or button input, so that they reach the host. A
// child of the root window itself (a host that hands over the whole screen) is a
// top-level window, made override-redirect so that no window manager frames it. A child
// follows its host's size.
#include <X11/Xutil.h>

#include <cstdio>

#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/posix/process.h"
#include "platform/common/window_queue.h"
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
    if (w->procedure != nullptr) w->procedure(x11Handle(id), WM_DESTROY, 0, 0);
    for (X11Window& child : windows) {
        if (child.inUse && child.parent == id) x11DestroyWindow(&child, alreadyGone);
    }
    queueForgetWindow(x11Handle(id));
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
        if (w.inUse && !w.destroying && w.parent == host) platformPostMessage(x11Handle(w.id), WM_CLOSE, 0, 0);
    }
}

void x11HandleEndSignal() {
    if (endSignalHandled || !posixEndRequested()) return;
    endSignalHandled = true;
    posixDrainWakeDescriptor();
    for (X11Window& w : windows) {
        if (w.inUse && !w.destroying && x11FindWindow(w.parent) == nullptr) {
            platformPostMessage(x11Handle(w.id), WM_CLOSE, 0, 0);
        }
    }
}

// --- platform.h: device contexts and client size

DeviceContext platformGetDC(WindowHandle window) {
    if (X11Window* w = x11FindHandle(window)) return &w->dc;
    if (window == nullptr && x11Display() != nullptr) {
        Display* display = x11DisplayIfOpen();
        screenDC.depth = DefaultDepth(display, DefaultScreen(display));
        return &screenDC;
    }
    return nullptr;
}

void platformReleaseDC(WindowHandle, DeviceContext) {}

ClientSize platformClientSize(WindowHandle window) {
    if (const X11Window* w = x11FindHandle(window)) return {w->width, w->height};
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
        parent = x11Id(request.parent);
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
    queueOpenWindow(*w, x11Handle(id), procedure);
    w->id = id;
    w->parent = child ? parent : None;
    w->fullScreen = fullScreen;
    w->width = int(width);
    w->height = int(height);
    w->colormap = colormap;
    setNames(display, id, request.className, request.title);
    prepareDeviceContext(display, *w, visual, depth);
    if (fullScreen && invisibleCursor == None) invisibleCursor = makeInvisibleCursor(display, id);

    const WindowHandle handle = x11Handle(id);
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

WindowHandle platformGetParent(WindowHandle window) {
    const X11Window* w = x11FindHandle(window);
    return w != nullptr ? x11Handle(w->parent) : nullptr;
}

std::int32_t platformColorDepth(DeviceContext dc) {
    if (const X11DeviceContext* record = x11DeviceContextOf(dc)) return record->depth;
    return dc == &screenDC ? screenDC.depth : 0;
}

int platformGetMessage(QueuedMessage& message) {
    x11HandleEndSignal();
    return queueGetMessage(message);
}

LRESULT platformDefWindowProc(WindowHandle window, std::uint32_t message, WPARAM, LPARAM) {
    return queueDefaultProcessing(window, message);
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

void backendNoteMessageMade(const QueuedMessage& message) {
    if (message.message == WM_PAINT) posixNoteFrameStart();
}

void backendDestroyWindow(QueueWindow& window) { x11DestroyWindow(static_cast<X11Window*>(&window), false); }
