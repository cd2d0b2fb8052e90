// Text output on a window's device context with Xlib, in the server's default font. The
// text goes on top of the picture: OpenGL is waited for first, so that a frame just shown
// does not cover it.
#include "platform/platform.h"
#include "platform/x11/display.h"

unsigned long x11PixelOf(const Visual* visual, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    if (visual == nullptr || (visual->c_class != TrueColor && visual->c_class != DirectColor)) {
        Display* display = x11DisplayIfOpen();
        if (display == nullptr) return 0;
        const int screen = DefaultScreen(display);
        return int(red) + green + blue > 3 * 127 ? WhitePixel(display, screen) : BlackPixel(display, screen);
    }
    auto scale = [](unsigned long mask, std::uint8_t value) {
        if (mask == 0) return 0UL;
        int shift = 0;
        while (((mask >> shift) & 1UL) == 0) ++shift;
        return (((mask >> shift) * value + 127) / 255) << shift;
    };
    return scale(visual->red_mask, red) | scale(visual->green_mask, green) | scale(visual->blue_mask, blue);
}

// Asked for before every frame's text: the server hears of a change only.
void platformSetTextColor(DeviceContext dc, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    X11DeviceContext* record = x11DeviceContextOf(dc);
    Display* display = x11DisplayIfOpen();
    if (record == nullptr || display == nullptr) return;
    const unsigned long pixel = x11PixelOf(record->visual, red, green, blue);
    if (pixel == record->textPixel) return;
    record->textPixel = pixel;
    XSetForeground(display, record->gc, pixel);
}

void platformSetBkModeTransparent(DeviceContext dc) {
    if (X11DeviceContext* record = x11DeviceContextOf(dc)) record->transparentText = true;
}

// (x, y) is the text's top-left corner; Xlib draws from the baseline. Opaque text has
// Windows' default white background.
void platformTextOut(DeviceContext dc, int x, int y, const char* text, int count) {
    const X11DeviceContext* record = x11DeviceContextOf(dc);
    Display* display = x11DisplayIfOpen();
    if (record == nullptr || display == nullptr || text == nullptr || count <= 0) return;
    x11WaitForGl();
    if (record->transparentText) {
        XDrawString(display, record->window, record->gc, x, y + record->fontAscent, text, count);
    } else {
        XSetBackground(display, record->gc, x11PixelOf(record->visual, 255, 255, 255));
        XDrawImageString(display, record->window, record->gc, x, y + record->fontAscent, text, count);
    }
}
