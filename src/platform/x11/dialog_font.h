#pragma once
// The font of the program's dialogs on X11: antialiased through Xft where it finds a
// sans-serif face, else an X core font. Opened once per process, kept to its end.
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

#include <string_view>

struct X11DialogFont {
    XftFont* xft;        // null when the core font is used
    XFontStruct* core;   // null when Xft is used
    int ascent;          // from the top of a line to its baseline
    int descent;
    int height;          // ascent + descent: one line, and the base unit's height
    double scale;        // the screen's dots per inch over 96, for sizes given in pixels at 96
};

// The dialog font of the given size in points on the display's default screen, at the
// resolution the Xft.dpi resource gives (96 when it gives none). Null when no font at
// all can be loaded.
const X11DialogFont* x11DialogFont(Display* display, int points);

// The width in pixels of UTF-8 text drawn in the font.
int x11TextWidth(Display* display, const X11DialogFont& font, std::string_view text);

// Where text is drawn: a drawable with a GC in its visual, and Xft's view of it.
struct X11TextTarget {
    Drawable drawable;
    GC gc;
    XftDraw* xftDraw;    // null unless the font is an Xft font
    const XftColor* xftColour;
    unsigned long pixel;  // the text colour for the core font
};

// Draws UTF-8 text with its baseline at y, starting at x.
void x11DrawText(Display* display, const X11DialogFont& font, const X11TextTarget& target, int x, int y,
                 std::string_view text);
