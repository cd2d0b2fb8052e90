// orvel-x11-helper: what the end-to-end tests, the soak and the memcheck run need from
// the X server that xdotool and the x11-utils do not give, one command per run. Every
// wait has a deadline, and every command ends with 0 on success, 1 when the thing did
// not happen and 2 on bad use.
//
//   wait-window CLASS TITLE MS    id of a viewable top-level window of that class and name
//   wait-child PARENT TITLE MS    id of a viewable child of PARENT with that name
//   wait-grabbed MS               until another client holds the keyboard and the pointer
//   delete-window ID              send it WM_DELETE_WINDOW, as a window manager would
//   send-keys ID KEYSYM...        press and release each key in the window with
//                                 XSendEvent, as another program can (xdotool types
//                                 into the focused window through XTEST instead); the
//                                 window may go once a key has ended it
//   destroy ID                    destroy it
//   cursor                        "hidden" when the cursor image has no visible pixel,
//                                 else "visible"
//   lit ID                        how many pixels of the window, as the screen shows
//                                 them, are not black, then the window's pixel count
//   checksum ID                   a hash of the window's pixels as the screen shows them,
//                                 to tell whether its picture changed
//   host WIDTH HEIGHT             make and map a window at (40, 40), print its id and
//                                 keep it until standard input closes or it is destroyed
//   steal-focus                   map a window of its own and give it the input focus
//   hold-keyboard GAP MS          take the keyboard, print "held", keep it until a line
//                                 comes on standard input (or it closes), let it go, and
//                                 after GAP take it again for MS, as a program with a
//                                 menu or a global shortcut would
//   watch-creates                 count the top-level windows made until standard input
//                                 closes, then print the count
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

int lastError = 0;

int recordError(Display*, XErrorEvent* error) {
    lastError = error->error_code;
    return 0;
}

Window parseId(const char* text) { return Window(std::strtoul(text, nullptr, 0)); }

Clock::time_point deadlineAfter(const char* ms) { return Clock::now() + std::chrono::milliseconds(std::atol(ms)); }

void pause() { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }

std::string nameOf(Display* display, Window window) {
    char* name = nullptr;
    std::string text;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) text = name;
    XFree(name);
    return text;
}

bool classIs(Display* display, Window window, const char* className) {
    XClassHint hint{};
    if (XGetClassHint(display, window, &hint) == 0) return false;
    const bool same = hint.res_class != nullptr && std::strcmp(hint.res_class, className) == 0;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return same;
}

// A viewable child of parent with the name (and class, when one is given), or None.
Window findChild(Display* display, Window parent, const char* className, const char* title) {
    Window root = None;
    Window up = None;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = None;
    if (XQueryTree(display, parent, &root, &up, &children, &count) == 0) return None;
    for (unsigned i = 0; i < count && found == None; ++i) {
        if (className != nullptr && !classIs(display, children[i], className)) continue;
        if (nameOf(display, children[i]) != title) continue;
        // A window is named before it is mapped: found by its name, it may not show yet.
        XWindowAttributes state;
        if (XGetWindowAttributes(display, children[i], &state) && state.map_state == IsViewable) found = children[i];
    }
    XFree(children);
    XSync(display, False);
    return found;
}

int waitForChild(Display* display, Window parent, const char* className, const char* title, const char* ms) {
    const auto deadline = deadlineAfter(ms);
    do {
        if (Window found = findChild(display, parent, className, title)) {
            std::printf("%lu\n", found);
            return 0;
        }
        pause();
    } while (Clock::now() < deadline);
    return 1;
}

int waitGrabbed(Display* display, const char* ms) {
    const Window root = DefaultRootWindow(display);
    const auto deadline = deadlineAfter(ms);
    do {
        // Held by another client exactly when this client cannot take it.
        const int keyboard = XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        if (keyboard == GrabSuccess) XUngrabKeyboard(display, CurrentTime);
        const int pointer = XGrabPointer(display, root, False, 0, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
        if (pointer == GrabSuccess) XUngrabPointer(display, CurrentTime);
        XSync(display, False);
        if (keyboard == AlreadyGrabbed && pointer == AlreadyGrabbed) return 0;
        pause();
    } while (Clock::now() < deadline);
    return 1;
}

int deleteWindow(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return lastError == 0 ? 0 : 1;
}

// Only the presses must arrive: the last key may end the dialog, its window going before
// the release.
int sendKeys(Display* display, Window window, int count, char** names) {
    for (int i = 0; i < count; ++i) {
        const KeySym symbol = XStringToKeysym(names[i]);
        const KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(display, symbol);
        if (code == 0) {
            std::fprintf(stderr, "orvel-x11-helper: no key for \"%s\"\n", names[i]);
            return 2;
        }
        XEvent event{};
        XKeyEvent& key = event.xkey;
        key.display = display;
        key.window = window;
        key.root = DefaultRootWindow(display);
        key.subwindow = None;
        key.time = CurrentTime;
        key.same_screen = True;
        key.keycode = code;
        for (const int type : {KeyPress, KeyRelease}) {
            key.type = type;
            XSendEvent(display, window, False, type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
            XSync(display, False);
            if (lastError != 0) return type == KeyRelease && i == count - 1 ? 0 : 1;
        }
    }
    return 0;
}

int destroy(Display* display, Window window) {
    XDestroyWindow(display, window);
    XSync(display, False);
    return lastError == 0 ? 0 : 1;
}

int cursor(Display* display) {
    int eventBase = 0;
    int errorBase = 0;
    if (!XFixesQueryExtension(display, &eventBase, &errorBase)) {
        std::fprintf(stderr, "no XFIXES\n");
        return 1;
    }
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (image == nullptr) return 1;
    bool visible = false;
    for (int i = 0; i < int(image->width) * int(image->height); ++i) {
        if ((image->pixels[i] >> 24) != 0) visible = true;
    }
    XFree(image);
    std::printf("%s\n", visible ? "visible" : "hidden");
    return 0;
}

int lit(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return 1;
    const Window root = DefaultRootWindow(display);
    int x = 0;
    int y = 0;
    Window child = None;
    XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child);
    XImage* image = XGetImage(display, root, x, y, unsigned(attributes.width), unsigned(attributes.height), AllPlanes,
                              ZPixmap);
    if (image == nullptr) return 1;
    long count = 0;
    for (int row = 0; row < attributes.height; ++row) {
        for (int column = 0; column < attributes.width; ++column) {
            if ((XGetPixel(image, column, row) & 0xFFFFFF) != 0) ++count;
        }
    }
    XDestroyImage(image);
    std::printf("%ld %ld\n", count, long(attributes.width) * attributes.height);
    return 0;
}

// FNV-1a over the window's pixels, read from the root window so that what covers the
// window counts too.
int checksum(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return 1;
    int x = 0;
    int y = 0;
    Window child = None;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, unsigned(attributes.width),
                              unsigned(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return 1;
    std::uint64_t hash = 14695981039346656037ull;
    for (int row = 0; row < attributes.height; ++row) {
        for (int column = 0; column < attributes.width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row) & 0xFFFFFF;
            for (int shift = 0; shift < 24; shift += 8) {
                hash = (hash ^ ((pixel >> shift) & 0xFF)) * 1099511628211ull;
            }
        }
    }
    XDestroyImage(image);
    std::printf("%016llx\n", static_cast<unsigned long long>(hash));
    return 0;
}

Window mapWindow(Display* display, int x, int y, unsigned width, unsigned height) {
    const Window root = DefaultRootWindow(display);
    const Window window = XCreateSimpleWindow(display, root, x, y, width, height, 0, 0, 0);
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    XEvent event;
    do {
        XNextEvent(display, &event);
    } while (event.type != MapNotify);
    return window;
}

int host(Display* display, const char* width, const char* height) {
    const Window window = mapWindow(display, 40, 40, unsigned(std::atoi(width)), unsigned(std::atoi(height)));
    XStoreName(display, window, "Display settings");
    XSync(display, False);
    std::printf("%lu\n", window);
    std::fflush(stdout);
    pollfd sources[2] = {{ConnectionNumber(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == DestroyNotify && event.xdestroywindow.window == window) return 0;
        }
        poll(sources, 2, -1);
        if (sources[1].revents != 0) {
            char byte;
            if (read(STDIN_FILENO, &byte, 1) <= 0) return 0;
        }
    }
}

int stealFocus(Display* display) {
    const Window window = mapWindow(display, 0, 0, 50, 50);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    return lastError == 0 ? 0 : 1;
}

int watchCreates(Display* display) {
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    std::printf("watching\n");
    std::fflush(stdout);
    long created = 0;
    pollfd sources[2] = {{ConnectionNumber(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify) ++created;
        }
        poll(sources, 2, -1);
        if (sources[1].revents != 0) {
            char byte;
            if (read(STDIN_FILENO, &byte, 1) <= 0) break;
        }
    }
    // Whatever the server sent before the end was asked for.
    XSync(display, False);
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify) ++created;
    }
    std::printf("%ld\n", created);
    return 0;
}

void sleepMs(const char* ms) { std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(ms))); }

bool grabKeyboard(Display* display) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (XGrabKeyboard(display, DefaultRootWindow(display), False, GrabModeAsync, GrabModeAsync, CurrentTime) !=
           GrabSuccess) {
        if (Clock::now() >= deadline) return false;
        pause();
    }
    XSync(display, False);
    return true;
}

int holdKeyboard(Display* display, const char* gap, const char* second) {
    if (!grabKeyboard(display)) return 1;
    std::printf("held\n");
    std::fflush(stdout);
    char byte = 0;
    while (read(STDIN_FILENO, &byte, 1) == 1 && byte != '\n') {
    }
    XUngrabKeyboard(display, CurrentTime);
    XSync(display, False);
    sleepMs(gap);
    if (!grabKeyboard(display)) return 1;
    sleepMs(second);
    XUngrabKeyboard(display, CurrentTime);
    XSync(display, False);
    return 0;
}

int usage() {
    std::fprintf(stderr, "orvel-x11-helper: unknown command or wrong arguments; see the source for the list\n");
    return 2;
}

int run(Display* display, int argc, char** argv) {
    const std::string command = argv[1];
    const Window root = DefaultRootWindow(display);
    if (command == "wait-window" && argc == 5) return waitForChild(display, root, argv[2], argv[3], argv[4]);
    if (command == "wait-child" && argc == 5) return waitForChild(display, parseId(argv[2]), nullptr, argv[3], argv[4]);
    if (command == "wait-grabbed" && argc == 3) return waitGrabbed(display, argv[2]);
    if (command == "delete-window" && argc == 3) return deleteWindow(display, parseId(argv[2]));
    if (command == "send-keys" && argc >= 4) return sendKeys(display, parseId(argv[2]), argc - 3, argv + 3);
    if (command == "destroy" && argc == 3) return destroy(display, parseId(argv[2]));
    if (command == "cursor" && argc == 2) return cursor(display);
    if (command == "lit" && argc == 3) return lit(display, parseId(argv[2]));
    if (command == "checksum" && argc == 3) return checksum(display, parseId(argv[2]));
    if (command == "host" && argc == 4) return host(display, argv[2], argv[3]);
    if (command == "steal-focus" && argc == 2) return stealFocus(display);
    if (command == "watch-creates" && argc == 2) return watchCreates(display);
    if (command == "hold-keyboard" && argc == 4) return holdKeyboard(display, argv[2], argv[3]);
    return usage();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "orvel-x11-helper: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(recordError);
    const int status = run(display, argc, argv);
    // Closing also flushes what the command sent, and leaves nothing for LeakSanitizer.
    XCloseDisplay(display);
    return status;
}
