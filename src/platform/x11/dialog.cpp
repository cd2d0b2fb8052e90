// Modal dialogs on X11, run from the program's templates with the messages Windows sends:
// WM_INITDIALOG before the window shows (the focus then goes to the first tab stop when
// the procedure answers nonzero), WM_COMMAND with the control's id for every click, key
// or Escape (notification 0 in the high half), and WM_CLOSE for the window manager's
// close button, which becomes IDCANCEL when the procedure leaves it. The run ends when
// the procedure calls EndDialog.
//
// A dialog is a plain top-level window with a dialog's frame (dialog_window.cpp). Keys sent
// with XSendEvent count like typed ones. SIGTERM and SIGINT close
// the dialog as its close button would. While a message box runs on top of a dialog, the
// dialog below only repaints.
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <cstdio>

#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/posix/process.h"
#include "platform/x11/dialog.h"
#include "platform/x11/display.h"

namespace {

constexpr int MAX_NESTED = 4;
X11Dialog dialogs[MAX_NESTED];
int running = 0;  // dialogs[0 .. running-1] run, the last on top
bool autoRepeatDetectable = false;

X11Dialog* topDialog() { return running > 0 ? &dialogs[running - 1] : nullptr; }

X11Dialog* dialogOf(Window window) {
    for (int i = 0; i < running; ++i) {
        if (dialogs[i].window == window && window != None) return &dialogs[i];
    }
    return nullptr;
}

// The keyboard focus to the dialog's window, once the server shows it; a window manager
// may refuse it, which is not an error the program cares about.
void takeFocus(Display* display, const X11Dialog& dialog) {
    x11BeginErrorTrap();
    XSetInputFocus(display, dialog.window, RevertToParent, CurrentTime);
    x11EndErrorTrap();
}

void command(X11Dialog& dialog, int id) {
    dialog.procedure(x11Handle(dialog.window), WM_COMMAND, WPARAM(std::uint16_t(id)), 0);
}

// The close button, and SIGTERM: WM_CLOSE, which default dialog processing turns into
// IDCANCEL.
void close(X11Dialog& dialog) {
    if (dialog.procedure(x11Handle(dialog.window), WM_CLOSE, 0, 0) == 0 && !dialog.ended) command(dialog, IDCANCEL);
}

void act(Display* display, X11Dialog& dialog, DialogCommand result) {
    x11PaintDialog(display, dialog);
    if (!result.send) return;
    command(dialog, result.id);
    if (!dialog.ended) x11PaintDialog(display, dialog);
}

void handleKey(Display* display, X11Dialog& dialog, XKeyEvent& key, bool press) {
    const KeySym symbol = XLookupKeysym(&key, 0);
    const bool shift = (key.state & ShiftMask) != 0;
    if (!press) {
        if (symbol == XK_space && dialog.spaceDown) {
            dialog.spaceDown = false;
            act(display, dialog, dialog.controller.key(DialogKey::SpaceUp));
        }
        return;
    }
    switch (symbol) {
        case XK_Tab:
        case XK_ISO_Left_Tab:
            act(display, dialog,
                dialog.controller.key(shift || symbol == XK_ISO_Left_Tab ? DialogKey::BackTab : DialogKey::Tab));
            break;
        case XK_space:
            if (dialog.spaceDown) break;  // a held key's repeats
            dialog.spaceDown = true;
            act(display, dialog, dialog.controller.key(DialogKey::SpaceDown));
            break;
        case XK_Return:
        case XK_KP_Enter:
            act(display, dialog, dialog.controller.key(DialogKey::Enter));
            break;
        case XK_Escape:
            act(display, dialog, dialog.controller.key(DialogKey::Escape));
            break;
        default:
            break;
    }
}

void handleEvent(Display* display, XEvent& event) {
    X11Dialog* dialog = dialogOf(event.xany.window);
    if (dialog == nullptr) return;
    if (event.type == Expose) {
        if (event.xexpose.count != 0) return;
        x11PaintDialog(display, *dialog);
        // The focus once the dialog shows with its controls, so that keys typed as soon
        // as it has the focus reach a dialog that can be seen.
        if (!dialog->shown && dialog == topDialog()) takeFocus(display, *dialog);
        dialog->shown = true;
        return;
    }
    if (event.type == DestroyNotify && event.xdestroywindow.window == dialog->window) {
        // Destroyed by another client: the dialog cannot go on.
        std::fprintf(stderr, "orvel: the dialog's window was destroyed from outside\n");
        x11ReleaseDialogDrawing(display, *dialog);
        dialog->window = None;
        dialog->ended = true;
        dialog->result = -1;
        return;
    }
    // The dialogs below a message box take no input, as Windows disables them.
    if (dialog != topDialog()) return;
    switch (event.type) {
        case KeyPress:
        case KeyRelease:
            handleKey(display, *dialog, event.xkey, event.type == KeyPress);
            break;
        case ButtonPress:
            if (event.xbutton.button == Button1) {
                act(display, *dialog, dialog->controller.pointerDown(event.xbutton.x, event.xbutton.y));
            }
            break;
        case ButtonRelease:
            if (event.xbutton.button == Button1) {
                act(display, *dialog, dialog->controller.pointerUp(event.xbutton.x, event.xbutton.y));
            }
            break;
        case MotionNotify: {
            // Only the last of a run of motions matters.
            while (XCheckTypedWindowEvent(display, dialog->window, MotionNotify, &event)) {
            }
            const int held = dialog->controller.focus();
            const bool before = held >= 0 && dialog->controller.drawnPressed(held);
            dialog->controller.pointerMove(event.xmotion.x, event.xmotion.y);
            if (held >= 0 && dialog->controller.drawnPressed(held) != before) x11PaintDialog(display, *dialog);
            break;
        }
        case ClientMessage:
            if (event.xclient.message_type == x11Atoms.wmProtocols && event.xclient.format == 32 &&
                Atom(event.xclient.data.l[0]) == x11Atoms.wmDeleteWindow) {
                close(*dialog);
            }
            break;
        default:
            break;
    }
}

// Events until the dialog ends. A signal that asks the program to end closes it.
void runModalLoop(Display* display, X11Dialog& dialog) {
    while (!dialog.ended) {
        if (posixEndRequested() && !dialog.closeSent) {
            dialog.closeSent = true;
            posixDrainWakeDescriptor();
            close(dialog);
            continue;
        }
        if (XEventsQueued(display, QueuedAfterFlush) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            handleEvent(display, event);
            continue;
        }
        pollfd sources[2] = {{ConnectionNumber(display), POLLIN, 0}, {posixWakeDescriptor(), POLLIN, 0}};
        poll(sources, 2, -1);
    }
}

}  // namespace

X11Dialog* x11FindDialog(WindowHandle window) { return dialogOf(x11Id(window)); }

bool x11DialogMetrics(int points, const X11DialogFont*& font, DialogBaseUnits& units) {
    Display* display = x11Display();
    if (display == nullptr) return false;
    font = x11DialogFont(display, points);
    if (font == nullptr) return false;
    units = dialogBaseUnits(x11TextWidth(display, *font, BASE_UNIT_LETTERS), font->height);
    return true;
}

std::intptr_t x11RunDialog(const DialogTemplate& dialogTemplate, InstanceHandle instance, WindowHandle owner,
                           DialogProc procedure) {
    const X11DialogFont* font = nullptr;
    DialogBaseUnits units{};
    if (procedure == nullptr || running == MAX_NESTED || !x11DialogMetrics(dialogTemplate.fontPoints, font, units)) {
        return -1;
    }
    Display* display = x11DisplayIfOpen();
    if (!autoRepeatDetectable) {
        // A held key repeats as presses alone, so that Space clicks once, when let go.
        Bool supported = False;
        XkbSetDetectableAutoRepeat(display, True, &supported);
        autoRepeatDetectable = true;
    }

    X11Dialog& dialog = dialogs[running];
    dialog = X11Dialog{};
    dialog.owner = x11DialogOwner(display, owner);
    dialog.instance = instance;
    dialog.dialogTemplate = &dialogTemplate;
    dialog.procedure = procedure;
    dialog.font = font;
    dialog.units = units;
    dialog.controller.load(dialogTemplate, units);
    const PixelRect client = mapDialogRect(0, 0, dialogTemplate.width, dialogTemplate.height, units);
    dialog.width = std::max(1, client.width);
    dialog.height = std::max(1, client.height);
    if (!x11CreateDialogWindow(display, dialog)) return -1;
    ++running;

    const WindowHandle handle = x11Handle(dialog.window);
    if (procedure(handle, WM_INITDIALOG, 0, 0) != 0) dialog.controller.focusFirstTabStop();
    if (!dialog.ended) {
        XMapRaised(display, dialog.window);
        runModalLoop(display, dialog);
    }
    const std::intptr_t result = dialog.result;
    x11DestroyDialogWindow(display, dialog, dialog.window == None);
    --running;
    if (X11Dialog* below = topDialog()) {
        takeFocus(display, *below);
        x11PaintDialog(display, *below);
    }
    return result;
}

std::intptr_t platformDialogBox(InstanceHandle instance, int resourceId, WindowHandle owner, DialogProc procedure) {
    const DialogTemplate* dialogTemplate = findDialogTemplate(resourceId);
    if (dialogTemplate == nullptr) {
        std::fprintf(stderr, "orvel: there is no dialog %d among the program's resources\n", resourceId);
        return -1;
    }
    if (x11Display() == nullptr) {
        std::fprintf(stderr, "orvel: the dialog \"%s\" needs an X display, and there is none\n",
                     dialogTemplate->caption);
        return -1;
    }
    const std::intptr_t result = x11RunDialog(*dialogTemplate, instance, owner, procedure);
    if (result == -1) std::fprintf(stderr, "orvel: the dialog \"%s\" could not be shown\n", dialogTemplate->caption);
    return result;
}

LRESULT platformSendDlgItemMessage(WindowHandle window, int id, std::uint32_t message, WPARAM wParam, LPARAM) {
    X11Dialog* dialog = x11FindDialog(window);
    if (dialog == nullptr) return 0;
    const int index = dialog->controller.find(id);
    if (index < 0) return 0;
    switch (message) {
        case BM_SETCHECK:
            dialog->controller.setCheck(index, std::uint32_t(wParam));
            if (Display* display = x11DisplayIfOpen()) x11PaintDialog(display, *dialog);
            return 0;
        case BM_GETCHECK:
            return LRESULT(dialog->controller.check(index));
        default:
            return 0;
    }
}

void platformEndDialog(WindowHandle window, std::intptr_t result) {
    if (X11Dialog* dialog = x11FindDialog(window)) {
        dialog->ended = true;
        dialog->result = result;
    }
}
