// The seat's input as the window messages of Windows. Keys become WM_KEYDOWN (or
// WM_SYSKEYDOWN with Alt) and WM_KEYUP, buttons 1 to 3 their button messages, the wheel
// WM_MOUSEWHEEL and WM_MOUSEHWHEEL, pointer travel WM_MOUSEMOVE, a touch the first
// button's messages, as Windows makes of a tap, and the keyboard going to another client
// WM_ACTIVATEAPP with 0. The queue takes its input here, and waits here
// on the compositor's socket, the signal pipe and the next timer tick.
//
// The pointer's position is kept in the compositor's space: the surface's position plus
// the output's, so that travel across outputs adds up as on one screen. Wayland tells a
// client nothing of the pointer before it enters one of its surfaces, so positions count
// from the spot where it first entered: the saver's reference point is read before that
// and is (0, 0), and only differences matter.
#include <linux/input-event-codes.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include "platform/messages.h"
#include "platform/posix/process.h"
#include "platform/wayland/wayland.h"
#include "platform/common/window_queue.h"

namespace {

constexpr int INPUT_CAPACITY = 128;

QueuedMessage inputRing[INPUT_CAPACITY];
int ringStart = 0;
int ringCount = 0;

wl_keyboard* keyboard = nullptr;
wl_pointer* pointer = nullptr;
wl_touch* touch = nullptr;
WindowHandle touchWindow = nullptr;
bool hadFocus = false;
bool focusLost = false;
bool altDown = false;
WPARAM buttonsDown = 0;

wl_surface* pointerSurface = nullptr;
std::uint32_t pointerSerial = 0;
bool pointerSeen = false;
int pointerOriginX = 0;  // the compositor-space position where the pointer first entered
int pointerOriginY = 0;
CursorPos cursor{0, 0};

// The Windows virtual-key code of an evdev key: letters, digits, function keys and the
// common keys; 0 for others.
WPARAM virtualKeyOf(std::uint32_t key) {
    static const char LETTER_ROWS[][11] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    if (key >= KEY_Q && key <= KEY_P) return WPARAM(LETTER_ROWS[0][key - KEY_Q]);
    if (key >= KEY_A && key <= KEY_L) return WPARAM(LETTER_ROWS[1][key - KEY_A]);
    if (key >= KEY_Z && key <= KEY_M) return WPARAM(LETTER_ROWS[2][key - KEY_Z]);
    if (key >= KEY_1 && key <= KEY_9) return WPARAM('1' + (key - KEY_1));
    if (key >= KEY_F1 && key <= KEY_F10) return WPARAM(0x70 + (key - KEY_F1));
    switch (key) {
        case KEY_0: return '0';
        case KEY_BACKSPACE: return 0x08;
        case KEY_TAB: return 0x09;
        case KEY_ENTER: case KEY_KPENTER: return 0x0D;
        case KEY_LEFTSHIFT: case KEY_RIGHTSHIFT: return 0x10;
        case KEY_LEFTCTRL: case KEY_RIGHTCTRL: return 0x11;
        case KEY_LEFTALT: case KEY_RIGHTALT: return 0x12;
        case KEY_ESC: return 0x1B;
        case KEY_SPACE: return 0x20;
        case KEY_LEFT: return 0x25;
        case KEY_UP: return 0x26;
        case KEY_RIGHT: return 0x27;
        case KEY_DOWN: return 0x28;
        default: return 0;
    }
}

WindowHandle handleOfSurface(wl_surface* surface, WaylandSurface** record) {
    WaylandWindow* window = waylandWindowOfSurface(surface, record);
    return window != nullptr ? waylandHandleOf(*window) : nullptr;
}

void queueMessage(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr) waylandQueueInput({window, message, wParam, lParam});
}

LPARAM packPoint(int x, int y) { return LPARAM(std::uint32_t(y & 0xFFFF) << 16 | std::uint32_t(x & 0xFFFF)); }

// --- Keyboard

void onKeymap(void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t) { close(fd); }

void onKeyboardEnter(void*, wl_keyboard*, std::uint32_t, wl_surface* surface, wl_array*) {
    if (handleOfSurface(surface, nullptr) == nullptr) return;
    hadFocus = true;
    focusLost = false;
}

// Focus moving between the saver's own surfaces is no loss: the loss is judged once the
// events that arrived with it have been handled (takeFocusLoss).
void onKeyboardLeave(void*, wl_keyboard*, std::uint32_t, wl_surface* surface) {
    if (hadFocus && handleOfSurface(surface, nullptr) != nullptr) focusLost = true;
}

void onKey(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key, std::uint32_t state) {
    WaylandWindow* window = waylandFullScreenWindow();
    if (window == nullptr) return;
    const bool press = state == WL_KEYBOARD_KEY_STATE_PRESSED;
    const WPARAM virtualKey = virtualKeyOf(key);
    if (virtualKey == 0x12) altDown = press;
    LPARAM lParam = 1 | LPARAM(key & 0xFF) << 16;
    if (altDown) lParam |= KEY_ALT_DOWN;
    if (!press) lParam |= KEY_WAS_DOWN | KEY_RELEASED;
    const std::uint32_t message = press ? (altDown ? WM_SYSKEYDOWN : WM_KEYDOWN) : WM_KEYUP;
    queueMessage(waylandHandleOf(*window), message, virtualKey, lParam);
}

void onModifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
void onRepeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

const wl_keyboard_listener keyboardListener = {onKeymap, onKeyboardEnter, onKeyboardLeave,
                                               onKey,    onModifiers,     onRepeatInfo};

// --- Pointer

// The pointer at surface-local (x, y) of a surface of the program's, as a position in
// the compositor's space counted from where it was first seen.
void pointerAt(wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
    WaylandSurface* record = nullptr;
    const WindowHandle window = handleOfSurface(surface, &record);
    if (window == nullptr || record == nullptr) return;
    const bool onOutput = record->layer != nullptr && record->output != nullptr;
    const int originX = onOutput ? record->output->x : 0;
    const int originY = onOutput ? record->output->y : 0;
    const int globalX = originX + wl_fixed_to_int(x);
    const int globalY = originY + wl_fixed_to_int(y);
    if (!pointerSeen) {
        pointerSeen = true;
        pointerOriginX = globalX;
        pointerOriginY = globalY;
    }
    cursor = {globalX - pointerOriginX, globalY - pointerOriginY};
    queueMessage(window, WM_MOUSEMOVE, buttonsDown, packPoint(wl_fixed_to_int(x), wl_fixed_to_int(y)));
}

void onPointerEnter(void*, wl_pointer*, std::uint32_t serial, wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
    pointerSurface = surface;
    pointerSerial = serial;
    waylandHideCursorNow();
    pointerAt(surface, x, y);
}

void onPointerLeave(void*, wl_pointer*, std::uint32_t, wl_surface*) { pointerSurface = nullptr; }

void onMotion(void*, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
    if (pointerSurface != nullptr) pointerAt(pointerSurface, x, y);
}

void onButton(void*, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button, std::uint32_t state) {
    const WindowHandle window = handleOfSurface(pointerSurface, nullptr);
    const bool press = state == WL_POINTER_BUTTON_STATE_PRESSED;
    std::uint32_t message = 0;
    WPARAM flag = 0;
    switch (button) {
        case BTN_LEFT: message = press ? WM_LBUTTONDOWN : WM_LBUTTONUP; flag = MK_LBUTTON; break;
        case BTN_RIGHT: message = press ? WM_RBUTTONDOWN : WM_RBUTTONUP; flag = MK_RBUTTON; break;
        case BTN_MIDDLE: message = press ? WM_MBUTTONDOWN : WM_MBUTTONUP; flag = MK_MBUTTON; break;
        default: return;
    }
    buttonsDown = press ? (buttonsDown | flag) : (buttonsDown & ~flag);
    queueMessage(window, message, buttonsDown, packPoint(cursor.x, cursor.y));
}

// One wheel notch is about 10 units of axis; each event is one turn, as X's wheel
// buttons are.
void onAxis(void*, wl_pointer*, std::uint32_t, std::uint32_t axis, wl_fixed_t value) {
    const WindowHandle window = handleOfSurface(pointerSurface, nullptr);
    const int delta = value < 0 ? WHEEL_DELTA : -WHEEL_DELTA;
    const std::uint32_t message = axis == WL_POINTER_AXIS_VERTICAL_SCROLL ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL;
    queueMessage(window, message, WPARAM(std::uint32_t(std::uint16_t(std::int16_t(delta))) << 16) | buttonsDown,
                 packPoint(cursor.x, cursor.y));
}

const wl_pointer_listener pointerListener = {onPointerEnter, onPointerLeave, onMotion, onButton, onAxis,
                                             nullptr,        nullptr,        nullptr,  nullptr,  nullptr};  // later versions: not bound

// --- Touch: a finger down is a click of the first button where it lands, and lifting it
// releases the button; a touch moves no pointer, so it counts as no travel.

void onTouchDown(void*, wl_touch*, std::uint32_t, std::uint32_t, wl_surface* surface, std::int32_t, wl_fixed_t x,
                 wl_fixed_t y) {
    const WindowHandle window = handleOfSurface(surface, nullptr);
    touchWindow = window;
    buttonsDown |= MK_LBUTTON;
    queueMessage(window, WM_LBUTTONDOWN, buttonsDown, packPoint(wl_fixed_to_int(x), wl_fixed_to_int(y)));
}

void onTouchUp(void*, wl_touch*, std::uint32_t, std::uint32_t, std::int32_t) {
    buttonsDown &= ~WPARAM(MK_LBUTTON);
    queueMessage(touchWindow, WM_LBUTTONUP, buttonsDown, packPoint(cursor.x, cursor.y));
}

void onTouchMotion(void*, wl_touch*, std::uint32_t, std::int32_t, wl_fixed_t, wl_fixed_t) {}
void onTouchFrame(void*, wl_touch*) {}
void onTouchCancel(void*, wl_touch*) { buttonsDown &= ~WPARAM(MK_LBUTTON); }

const wl_touch_listener touchListener = {onTouchDown, onTouchUp, onTouchMotion, onTouchFrame, onTouchCancel,
                                         nullptr,     nullptr};  // later versions: not bound

// Pops the next queued message; a focus loss that stood is handed out once the events
// before it are.
bool takeQueued(QueuedMessage& message) {
    if (ringCount > 0) {
        message = inputRing[ringStart];
        ringStart = (ringStart + 1) % INPUT_CAPACITY;
        --ringCount;
        return true;
    }
    if (focusLost) {
        focusLost = false;
        hadFocus = false;
        if (WaylandWindow* window = waylandFullScreenWindow()) {
            message = {waylandHandleOf(*window), WM_ACTIVATEAPP, 0, 0};
            return true;
        }
    }
    return false;
}

// Reads what the compositor has sent, waiting up to timeout ms (-1: for ever) for
// something from it or from the signal pipe, and handles it.
void readEvents(int timeout) {
    wl_display* display = wayland.display;
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0) waylandLostCompositor();
    }
    if (wl_display_flush(display) < 0 && wl_display_get_error(display) != 0) {
        wl_display_cancel_read(display);
        waylandLostCompositor();
    }
    pollfd sources[2] = {{wl_display_get_fd(display), POLLIN, 0}, {posixWakeDescriptor(), POLLIN, 0}};
    if (ringCount > 0) timeout = 0;
    poll(sources, 2, timeout);
    if (sources[0].revents != 0) {
        if (wl_display_read_events(display) < 0) waylandLostCompositor();
    } else {
        wl_display_cancel_read(display);
    }
    if (wl_display_dispatch_pending(display) < 0) waylandLostCompositor();
    waylandRemakeClosedSurfaces();
    waylandUpdatePaintHolds();
}

}  // namespace

void waylandSeatCapabilities(std::uint32_t capabilities) {
    const bool wantKeyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    const bool wantPointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (wantKeyboard && keyboard == nullptr) {
        keyboard = wl_seat_get_keyboard(wayland.seat);
        wl_keyboard_add_listener(keyboard, &keyboardListener, nullptr);
    } else if (!wantKeyboard && keyboard != nullptr) {
        // The seat's last keyboard went (unplugged, or a virtual one ended): its leave
        // came with it, and is no focus going to another client.
        wl_keyboard_destroy(keyboard);
        keyboard = nullptr;
        focusLost = false;
        hadFocus = false;
    }
    if (wantPointer && pointer == nullptr) {
        pointer = wl_seat_get_pointer(wayland.seat);
        wl_pointer_add_listener(pointer, &pointerListener, nullptr);
    } else if (!wantPointer && pointer != nullptr) {
        wl_pointer_destroy(pointer);
        pointer = nullptr;
        pointerSurface = nullptr;
    }
    const bool wantTouch = (capabilities & WL_SEAT_CAPABILITY_TOUCH) != 0;
    if (wantTouch && touch == nullptr) {
        touch = wl_seat_get_touch(wayland.seat);
        wl_touch_add_listener(touch, &touchListener, nullptr);
    } else if (!wantTouch && touch != nullptr) {
        wl_touch_destroy(touch);
        touch = nullptr;
    }
}

void waylandQueueInput(const QueuedMessage& message) {
    if (ringCount == INPUT_CAPACITY) return;  // a full queue drops input, as Windows' does
    inputRing[(ringStart + ringCount) % INPUT_CAPACITY] = message;
    ++ringCount;
}

CursorPos waylandCursorPosition() { return cursor; }

// No cursor image over the full-screen saver's surfaces: a null surface hides it.
void waylandHideCursorNow() {
    if (pointer == nullptr || pointerSurface == nullptr) return;
    WaylandWindow* window = waylandWindowOfSurface(pointerSurface, nullptr);
    if (window != nullptr && window->kind == WaylandWindowKind::FullScreen) {
        wl_pointer_set_cursor(pointer, pointerSerial, nullptr, 0, 0);
    }
}

// --- The queue's backend calls for input

bool backendTakeInput(QueuedMessage& message) {
    if (takeQueued(message)) return true;
    if (wayland.display == nullptr) return false;
    readEvents(0);
    return takeQueued(message);
}

bool backendWaitForEvents(std::int64_t timerDelayMs) {
    if (wayland.display == nullptr) {
        if (timerDelayMs < 0) return false;
        pollfd wake{posixWakeDescriptor(), POLLIN, 0};
        poll(&wake, 1, int(timerDelayMs));
    } else {
        readEvents(int(timerDelayMs));
    }
    waylandHandleEndSignal();
    return true;
}
