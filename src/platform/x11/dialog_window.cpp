// The window of a modal dialog on X11: a plain top-level window that asks the window
// manager for a dialog's frame (a fixed size, a title bar with a close button, no maximise
// or minimise, transient for its owner), placed where the template asks.
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>

#include "platform/resource_ids.h"
#include "platform/x11/dialog.h"
#include "platform/x11/display.h"

namespace {

constexpr long DIALOG_EVENTS = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                               Button1MotionMask | StructureNotifyMask;

// Motif's window-manager hints: which functions and decorations the frame offers.
constexpr long MWM_HINTS_FUNCTIONS = 1L << 0;
constexpr long MWM_HINTS_DECORATIONS = 1L << 1;
constexpr long MWM_FUNC_MOVE = 1L << 2;
constexpr long MWM_FUNC_CLOSE = 1L << 5;
constexpr long MWM_DECOR_BORDER = 1L << 1;
constexpr long MWM_DECOR_TITLE = 1L << 3;
constexpr long MWM_DECOR_MENU = 1L << 4;

Atom atom(Display* display, const char* name) { return XInternAtom(display, name, False); }

// Where the dialog's top-left corner goes: centred on the mouse cursor when the template
// asks, else centred over the owner, else on the screen; always wholly on the screen.
void placement(Display* display, const X11Dialog& dialog, int& x, int& y) {
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const int screenWidth = DisplayWidth(display, screen);
    const int screenHeight = DisplayHeight(display, screen);
    int centreX = screenWidth / 2;
    int centreY = screenHeight / 2;
    if (dialog.dialogTemplate->centreOnMouse) {
        int pointerX = 0;
        int pointerY = 0;
        if (x11PointerPosition(display, pointerX, pointerY)) {
            centreX = pointerX;
            centreY = pointerY;
        }
    } else if (dialog.owner != None) {
        XWindowAttributes attributes{};
        Window child = None;
        int ownerX = 0;
        int ownerY = 0;
        x11BeginErrorTrap();
        const bool known = XGetWindowAttributes(display, dialog.owner, &attributes) != 0 &&
                           XTranslateCoordinates(display, dialog.owner, root, 0, 0, &ownerX, &ownerY, &child) != 0;
        if (x11EndErrorTrap() == 0 && known) {
            centreX = ownerX + attributes.width / 2;
            centreY = ownerY + attributes.height / 2;
        }
    }
    x = std::clamp(centreX - dialog.width / 2, 0, std::max(0, screenWidth - dialog.width));
    y = std::clamp(centreY - dialog.height / 2, 0, std::max(0, screenHeight - dialog.height));
}

void setWindowManagerHints(Display* display, const X11Dialog& dialog, int x, int y) {
    const Window w = dialog.window;
    const char* caption = dialog.dialogTemplate->caption;
    XStoreName(display, w, caption);
    XChangeProperty(display, w, atom(display, "_NET_WM_NAME"), atom(display, "UTF8_STRING"), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(caption), int(std::strlen(caption)));
    XClassHint classHint{};
    classHint.res_name = const_cast<char*>("orvel");
    classHint.res_class = const_cast<char*>("Orvel");
    XSetClassHint(display, w, &classHint);

    // A fixed size at a position the program chose, which the window manager keeps.
    XSizeHints* size = XAllocSizeHints();
    if (size != nullptr) {
        size->flags = USPosition | PPosition | PSize | PMinSize | PMaxSize;
        size->x = x;
        size->y = y;
        size->width = size->min_width = size->max_width = dialog.width;
        size->height = size->min_height = size->max_height = dialog.height;
        XSetWMNormalHints(display, w, size);
        XFree(size);
    }
    XWMHints* hints = XAllocWMHints();
    if (hints != nullptr) {
        hints->flags = InputHint | StateHint;
        hints->input = True;
        hints->initial_state = NormalState;
        XSetWMHints(display, w, hints);
        XFree(hints);
    }
    Atom protocols[] = {x11Atoms.wmDeleteWindow};
    XSetWMProtocols(display, w, protocols, 1);

    const Atom dialogType = atom(display, "_NET_WM_WINDOW_TYPE_DIALOG");
    XChangeProperty(display, w, atom(display, "_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&dialogType), 1);
    const long motif[5] = {MWM_HINTS_FUNCTIONS | MWM_HINTS_DECORATIONS, MWM_FUNC_MOVE | MWM_FUNC_CLOSE,
                           MWM_DECOR_BORDER | MWM_DECOR_TITLE | MWM_DECOR_MENU, 0, 0};
    const Atom motifHints = atom(display, "_MOTIF_WM_HINTS");
    XChangeProperty(display, w, motifHints, motifHints, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(motif), 5);
    if (dialog.owner != None) {
        XSetTransientForHint(display, w, dialog.owner);
        const Atom modal = atom(display, "_NET_WM_STATE_MODAL");
        XChangeProperty(display, w, atom(display, "_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&modal), 1);
    }
    x11SetWindowIcon(display, w, dialog.instance, IDI_ORVEL);
}

}  // namespace

bool x11CreateDialogWindow(Display* display, X11Dialog& dialog) {
    const int screen = DefaultScreen(display);
    dialog.visual = DefaultVisual(display, screen);
    dialog.colormap = DefaultColormap(display, screen);
    dialog.depth = DefaultDepth(display, screen);
    int x = 0;
    int y = 0;
    placement(display, dialog, x, y);
    XSetWindowAttributes attributes{};
    attributes.background_pixel =
        x11PixelOf(dialog.visual, std::uint8_t(X11_DIALOG_FACE_RGB >> 16), std::uint8_t(X11_DIALOG_FACE_RGB >> 8), std::uint8_t(X11_DIALOG_FACE_RGB));
    attributes.border_pixel = 0;
    attributes.event_mask = DIALOG_EVENTS;
    attributes.colormap = dialog.colormap;
    x11BeginErrorTrap();
    dialog.window = XCreateWindow(display, RootWindow(display, screen), x, y, unsigned(dialog.width),
                                  unsigned(dialog.height), 0, dialog.depth, InputOutput, dialog.visual,
                                  CWBackPixel | CWBorderPixel | CWEventMask | CWColormap, &attributes);
    if (x11EndErrorTrap() != 0) {
        dialog.window = None;
        return false;
    }
    setWindowManagerHints(display, dialog, x, y);
    x11PrepareDialogDrawing(display, dialog);
    return true;
}

void x11DestroyDialogWindow(Display* display, X11Dialog& dialog, bool alreadyGone) {
    x11ReleaseDialogDrawing(display, dialog);
    if (dialog.window != None && !alreadyGone) XDestroyWindow(display, dialog.window);
    dialog.window = None;
    XFlush(display);
}

Window x11DialogOwner(Display* display, WindowHandle owner) {
    const Window id = x11Id(owner);
    if (id == None || id == DefaultRootWindow(display)) return None;
    XWindowAttributes attributes;
    x11BeginErrorTrap();
    const Status found = XGetWindowAttributes(display, id, &attributes);
    return x11EndErrorTrap() == 0 && found != 0 ? id : None;
}
