// X events as the window messages of Windows. Keys and buttons become the key and button
// messages (the wheel's buttons 4 to 7 the wheel messages, 8 and 9 the extra buttons),
// pointer motion becomes WM_MOUSEMOVE, a real loss of focus WM_ACTIVATEAPP with 0, a
// window's mapping WM_SHOWWINDOW with 1 and the window manager's delete request WM_CLOSE.
// The queue takes its input here, and waits here on the X connection, the signal pipe and
// the next timer tick.
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include "platform/messages.h"
#include "platform/posix/process.h"
#include "platform/common/window_queue.h"
#include "platform/x11/display.h"

namespace {

struct KeyMapping {
    KeySym keysym;
    WPARAM virtualKey;
};

constexpr KeyMapping SPECIAL_KEYS[] = {
    {XK_BackSpace, 0x08}, {XK_Tab, 0x09},       {XK_Return, 0x0D},    {XK_KP_Enter, 0x0D},
    {XK_Shift_L, 0x10},   {XK_Shift_R, 0x10},   {XK_Control_L, 0x11}, {XK_Control_R, 0x11},
    {XK_Alt_L, 0x12},     {XK_Alt_R, 0x12},     {XK_Meta_L, 0x12},    {XK_Meta_R, 0x12},
    {XK_Pause, 0x13},     {XK_Caps_Lock, 0x14}, {XK_Escape, 0x1B},    {XK_space, 0x20},
    {XK_Prior, 0x21},     {XK_Next, 0x22},      {XK_End, 0x23},       {XK_Home, 0x24},
    {XK_Left, 0x25},      {XK_Up, 0x26},        {XK_Right, 0x27},     {XK_Down, 0x28},
    {XK_Print, 0x2C},     {XK_Insert, 0x2D},    {XK_Delete, 0x2E},    {XK_Super_L, 0x5B},
    {XK_Super_R, 0x5C},   {XK_Menu, 0x5D},
};

// The Windows virtual-key code of a key: letters and digits as their upper-case ASCII
// codes, the function keys from 0x70, the common keys from the table; 0 for others.
WPARAM virtualKeyOf(const XKeyEvent& key) {
    const KeySym keysym = XLookupKeysym(const_cast<XKeyEvent*>(&key), 0);
    if (keysym >= XK_a && keysym <= XK_z) return WPARAM('A' + (keysym - XK_a));
    if (keysym >= XK_0 && keysym <= XK_9) return WPARAM('0' + (keysym - XK_0));
    if (keysym >= XK_F1 && keysym <= XK_F24) return WPARAM(0x70 + (keysym - XK_F1));
    for (const KeyMapping& mapping : SPECIAL_KEYS) {
        if (mapping.keysym == keysym) return mapping.virtualKey;
    }
    return 0;
}

bool isAltKey(WPARAM virtualKey) { return virtualKey == 0x12; }

WPARAM mouseKeyFlags(unsigned state) {
    WPARAM flags = 0;
    if (state & Button1Mask) flags |= MK_LBUTTON;
    if (state & Button2Mask) flags |= MK_MBUTTON;
    if (state & Button3Mask) flags |= MK_RBUTTON;
    if (state & ShiftMask) flags |= MK_SHIFT;
    if (state & ControlMask) flags |= MK_CONTROL;
    return flags;
}

LPARAM packPoint(int x, int y) { return LPARAM(std::uint32_t(y & 0xFFFF) << 16 | std::uint32_t(x & 0xFFFF)); }

WPARAM wheelParam(int delta, unsigned state) {
    return WPARAM(std::uint32_t(std::uint16_t(std::int16_t(delta))) << 16) | mouseKeyFlags(state);
}

bool translateKey(const XKeyEvent& key, bool press, QueuedMessage& message) {
    const WPARAM virtualKey = virtualKeyOf(key);
    const bool alt = (key.state & Mod1Mask) != 0 || (press && isAltKey(virtualKey));
    LPARAM lParam = 1 | LPARAM((key.keycode - 8) & 0xFF) << 16;
    if (alt) lParam |= KEY_ALT_DOWN;
    if (press) {
        message.message = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    } else {
        message.message = WM_KEYUP;
        lParam |= KEY_WAS_DOWN | KEY_RELEASED;
    }
    message.wParam = virtualKey;
    message.lParam = lParam;
    return true;
}

bool translateButton(const XButtonEvent& button, bool press, QueuedMessage& message) {
    const WPARAM flags = mouseKeyFlags(button.state);
    message.lParam = packPoint(button.x, button.y);
    message.wParam = flags;
    switch (button.button) {
        case 1:
            message.message = press ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            return true;
        case 2:
            message.message = press ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            return true;
        case 3:
            message.message = press ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            return true;
        case 4:
        case 5:
        case 6:
        case 7: {
            // A wheel click is one press and one release; the press is the turn. The
            // wheel messages carry screen coordinates.
            if (!press) return false;
            const bool vertical = button.button <= 5;
            const bool positive = button.button == 4 || button.button == 7;
            message.message = vertical ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL;
            message.wParam = wheelParam(positive ? WHEEL_DELTA : -WHEEL_DELTA, button.state);
            message.lParam = packPoint(button.x_root, button.y_root);
            return true;
        }
        case 8:
        case 9:
            message.message = press ? WM_XBUTTONDOWN : WM_XBUTTONUP;
            message.wParam = (button.button == 8 ? XBUTTON1 : XBUTTON2) << 16 | flags;
            return true;
        default:
            return false;
    }
}

// Focus leaves for real only after the window had it, not through a grab (the saver's
// own grabs move focus events about) and not to one of its own children or with the
// pointer.
bool isRealFocusLoss(const X11Window& window, const XFocusChangeEvent& focus) {
    if (!window.hadFocus) return false;
    if (focus.mode != NotifyNormal && focus.mode != NotifyWhileGrabbed) return false;
    return focus.detail != NotifyInferior && focus.detail != NotifyPointer && focus.detail != NotifyPointerRoot &&
           focus.detail != NotifyDetailNone;
}

}  // namespace

bool x11TranslateEvent(const XEvent& event, QueuedMessage& message) {
    if (event.type == DestroyNotify) {
        // Only the destroyed window's own notice counts: a parent hears of its children.
        if (X11Window* gone = x11FindWindow(event.xdestroywindow.window)) x11DestroyWindow(gone, true);
        return false;
    }
    X11Window* window = x11FindWindow(event.xany.window);
    if (window == nullptr) {
        x11HandleHostEvent(event);
        return false;
    }
    if (window->destroying) return false;
    message = {reinterpret_cast<WindowHandle>(window->id), 0, 0, 0};
    switch (event.type) {
        case KeyPress:
        case KeyRelease:
            return translateKey(event.xkey, event.type == KeyPress, message);
        case ButtonPress:
        case ButtonRelease:
            return translateButton(event.xbutton, event.type == ButtonPress, message);
        case MotionNotify:
            // The saver reads the cursor from the server (platformGetCursorPos) rather
            // than from lParam.
            message.message = WM_MOUSEMOVE;
            message.wParam = mouseKeyFlags(event.xmotion.state);
            message.lParam = packPoint(event.xmotion.x, event.xmotion.y);
            return true;
        case FocusIn:
            if (event.xfocus.detail != NotifyPointer) window->hadFocus = true;
            return false;
        case FocusOut:
            if (!isRealFocusLoss(*window, event.xfocus)) return false;
            message.message = WM_ACTIVATEAPP;
            message.wParam = 0;
            return true;
        case MapNotify:
            message.message = WM_SHOWWINDOW;
            message.wParam = 1;
            return true;
        case Expose:
            window->needsPaint = true;
            return false;
        case ConfigureNotify:
            window->width = event.xconfigure.width;
            window->height = event.xconfigure.height;
            return false;
        case ClientMessage:
            if (event.xclient.message_type != x11Atoms.wmProtocols || event.xclient.format != 32 ||
                Atom(event.xclient.data.l[0]) != x11Atoms.wmDeleteWindow) {
                return false;
            }
            message.message = WM_CLOSE;
            return true;
        default:
            return false;
    }
}

namespace {

// Waits for X input, a signal or the next timer tick. False when nothing can ever come.
bool waitForEvents(Display* display, int timeout) {
    pollfd sources[2] = {{-1, POLLIN, 0}, {posixWakeDescriptor(), POLLIN, 0}};
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

// --- The queue's backend calls for input

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
    x11HandleEndSignal();
    return waited;
}
