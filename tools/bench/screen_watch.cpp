#include "screen_watch.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <time.h>

#include <cstddef>

ScreenWatch::~ScreenWatch() { close(); }

void ScreenWatch::close() {
    if (display != nullptr) XCloseDisplay(display);
    display = nullptr;
}

bool ScreenWatch::open(const std::string& name) {
    display = XOpenDisplay(name.c_str());
    return display != nullptr;
}

int ScreenWatch::topLevelWindows() {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return -1;
    if (children != nullptr) XFree(children);
    return int(count);
}

int ScreenWatch::mappedTopLevelWindows() {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return -1;
    int mapped = 0;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable) ++mapped;
    }
    if (children != nullptr) XFree(children);
    return mapped;
}

bool ScreenWatch::waitForTopLevelWindows(int count, int timeoutMs, bool mappedOnly) {
    for (int waited = 0;; waited += 5) {
        if ((mappedOnly ? mappedTopLevelWindows() : topLevelWindows()) == count) return true;
        if (waited >= timeoutMs) return false;
        const timespec pause{0, 5000000};
        nanosleep(&pause, nullptr);
    }
}

bool ScreenWatch::anyLitPixel() {
    const int screen = DefaultScreen(display);
    const unsigned width = unsigned(DisplayWidth(display, screen));
    const unsigned height = unsigned(DisplayHeight(display, screen));
    XImage* image = XGetImage(display, DefaultRootWindow(display), 0, 0, width, height, AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    bool lit = false;
    if (image->bits_per_pixel == 32) {
        // The common case, straight from the rows: the low 24 bits hold the colour.
        for (int y = 0; y < int(height) && !lit; ++y) {
            const auto* row = reinterpret_cast<const unsigned*>(image->data + std::ptrdiff_t(y) * image->bytes_per_line);
            for (unsigned x = 0; x < width; ++x) {
                if ((row[x] & 0xffffffu) != 0) {
                    lit = true;
                    break;
                }
            }
        }
        XDestroyImage(image);
        return lit;
    }
    for (int y = 0; y < int(height) && !lit; ++y) {
        for (int x = 0; x < int(width); ++x) {
            if ((XGetPixel(image, x, y) & 0xffffffu) != 0) {
                lit = true;
                break;
            }
        }
    }
    XDestroyImage(image);
    return lit;
}

void ScreenWatch::jiggle() {
    // Apart in time, so that no motion is merged with the next one.
    const Window root = DefaultRootWindow(display);
    const int points[][2] = {{100, 100}, {300, 260}, {140, 380}, {420, 120}};
    for (const auto& point : points) {
        XWarpPointer(display, None, root, 0, 0, 0, 0, point[0], point[1]);
        XSync(display, False);
        const timespec pause{0, 50000000};
        nanosleep(&pause, nullptr);
    }
}
