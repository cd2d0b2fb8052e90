// Fonts for the dialogs. Xft draws a sans-serif face antialiased at the dialog's size in
// pixels; where fontconfig finds no font the core "fixed" font, which every X server has,
// still shows the text.
#include "platform/x11/dialog_font.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

X11DialogFont font{};
bool opened = false;
bool found = false;

// The resolution the desktop asks fonts to be drawn at, in dots per inch.
double desktopDpi(Display* display) {
    const char* value = XGetDefault(display, "Xft", "dpi");
    if (value != nullptr) {
        char* end = nullptr;
        const double dpi = std::strtod(value, &end);
        if (end != value && dpi >= 48.0 && dpi <= 480.0) return dpi;
    }
    return 96.0;
}

bool openXft(Display* display, int pixels) {
    XftFont* xft = XftFontOpen(display, DefaultScreen(display), XFT_FAMILY, XftTypeString, "sans-serif",
                               XFT_PIXEL_SIZE, XftTypeDouble, double(pixels), XFT_ANTIALIAS, XftTypeBool, True,
                               nullptr);
    if (xft == nullptr) return false;
    font.xft = xft;
    font.ascent = xft->ascent;
    font.descent = xft->descent;
    return true;
}

bool openCore(Display* display, int pixels) {
    const std::string scalable = "-*-helvetica-medium-r-normal--" + std::to_string(pixels) + "-*-*-*-*-*-iso8859-1";
    for (const char* name : {scalable.c_str(), "-*-*-medium-r-normal--12-*-*-*-*-*-iso8859-1", "fixed"}) {
        if (XFontStruct* core = XLoadQueryFont(display, name)) {
            font.core = core;
            font.ascent = core->ascent;
            font.descent = core->descent;
            return true;
        }
    }
    return false;
}

}  // namespace

const X11DialogFont* x11DialogFont(Display* display, int points) {
    if (opened) return found ? &font : nullptr;
    opened = true;
    font = X11DialogFont{};
    const double dpi = desktopDpi(display);
    font.scale = dpi / 96.0;
    const int pixels = int(points * dpi / 72.0 + 0.5);
    found = openXft(display, pixels) || openCore(display, pixels);
    if (!found) {
        std::fprintf(stderr, "orvel: no font for the dialog: neither Xft nor the X server has one\n");
        return nullptr;
    }
    font.height = font.ascent + font.descent;
    return &font;
}

int x11TextWidth(Display* display, const X11DialogFont& f, std::string_view text) {
    if (text.empty()) return 0;
    if (f.xft != nullptr) {
        XGlyphInfo extents{};
        XftTextExtentsUtf8(display, f.xft, reinterpret_cast<const FcChar8*>(text.data()), int(text.size()), &extents);
        return extents.xOff;
    }
    return XTextWidth(f.core, text.data(), int(text.size()));
}

void x11DrawText(Display* display, const X11DialogFont& f, const X11TextTarget& target, int x, int y,
                 std::string_view text) {
    if (text.empty()) return;
    if (f.xft != nullptr && target.xftDraw != nullptr) {
        XftDrawStringUtf8(target.xftDraw, target.xftColour, f.xft, x, y,
                          reinterpret_cast<const FcChar8*>(text.data()), int(text.size()));
        return;
    }
    if (f.core == nullptr) return;
    XSetFont(display, target.gc, f.core->fid);
    XSetForeground(display, target.gc, target.pixel);
    XDrawString(display, target.drawable, target.gc, x, y, text.data(), int(text.size()));
}
