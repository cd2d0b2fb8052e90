// Painting the dialogs: the look of a small settings dialog of a current desktop, in the
// light colours Windows 10 gives its classic controls. Everything is drawn into a back
// buffer and copied to the window in one piece, so that nothing flickers.
//
// Sizes not given by the template (the check box's square, gaps, the focus rectangle's
// inset) are pixels at 96 dots per inch, scaled with the font's resolution.
#include <X11/Xutil.h>

#include <algorithm>
#include <string_view>

#include "platform/dialog_model/text_wrap.h"
#include "platform/x11/dialog.h"
#include "platform/x11/display.h"

namespace {

constexpr std::uint32_t FACE = X11_DIALOG_FACE_RGB;
constexpr std::uint32_t TEXT = 0x000000;
constexpr std::uint32_t BUTTON_FACE = 0xE1E1E1;
constexpr std::uint32_t BUTTON_BORDER = 0xADADAD;
constexpr std::uint32_t DEFAULT_BORDER = 0x0078D7;
constexpr std::uint32_t PRESSED_FACE = 0xCCE4F7;
constexpr std::uint32_t PRESSED_BORDER = 0x005499;
constexpr std::uint32_t BOX_FACE = 0xFFFFFF;
constexpr std::uint32_t BOX_BORDER = 0x333333;
constexpr std::uint32_t GROUP_LINE = 0xDCDCDC;

struct Painter {
    Display* display;
    X11Dialog& dialog;

    unsigned long pixel(std::uint32_t rgb) const {
        return x11PixelOf(dialog.visual, std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb));
    }
    int scaled(double pixels) const { return std::max(1, int(pixels * dialog.font->scale + 0.5)); }

    void fill(std::uint32_t rgb, int x, int y, int width, int height) const {
        if (width <= 0 || height <= 0) return;
        XSetForeground(display, dialog.gc, pixel(rgb));
        XFillRectangle(display, dialog.buffer, dialog.gc, x, y, unsigned(width), unsigned(height));
    }
    // A one-pixel outline just inside the rectangle.
    void frame(std::uint32_t rgb, int x, int y, int width, int height) const {
        if (width <= 1 || height <= 1) return;
        XSetForeground(display, dialog.gc, pixel(rgb));
        XDrawRectangle(display, dialog.buffer, dialog.gc, x, y, unsigned(width - 1), unsigned(height - 1));
    }
    // The dotted rectangle that shows the keyboard focus.
    void focusFrame(int x, int y, int width, int height) const {
        static const char dots[] = {1, 1};
        XSetLineAttributes(display, dialog.gc, 0, LineOnOffDash, CapButt, JoinMiter);
        XSetDashes(display, dialog.gc, 0, dots, 2);
        frame(TEXT, x, y, width, height);
        XSetLineAttributes(display, dialog.gc, 0, LineSolid, CapButt, JoinMiter);
    }
    int textWidth(std::string_view text) const { return x11TextWidth(display, *dialog.font, text); }
    void text(int x, int baseline, std::string_view text) const {
        const X11TextTarget target{dialog.buffer, dialog.gc, dialog.xftDraw, &dialog.textColour, pixel(TEXT)};
        x11DrawText(display, *dialog.font, target, x, baseline, text);
    }
    // Clips text and lines to the rectangle until unclip.
    void clip(const PixelRect& r) const {
        XRectangle rectangle{short(r.left), short(r.top), static_cast<unsigned short>(std::max(0, r.width)),
                             static_cast<unsigned short>(std::max(0, r.height))};
        XSetClipRectangles(display, dialog.gc, 0, 0, &rectangle, 1, Unsorted);
        if (dialog.xftDraw != nullptr) XftDrawSetClipRectangles(dialog.xftDraw, 0, 0, &rectangle, 1);
    }
    void unclip() const {
        XSetClipMask(display, dialog.gc, None);
        if (dialog.xftDraw != nullptr) XftDrawSetClip(dialog.xftDraw, nullptr);
    }
    // The baseline of one line of text centred in a height from top.
    int centredBaseline(int top, int height) const {
        return top + (height - dialog.font->height + 1) / 2 + dialog.font->ascent;
    }

    void pushButton(int index) const {
        const DialogController& c = dialog.controller;
        const DialogControl& control = c.control(index);
        const PixelRect& r = control.rect;
        const bool pressed = c.drawnPressed(index);
        const bool isDefault = c.defaultButton() == index;
        fill(pressed ? PRESSED_FACE : BUTTON_FACE, r.left, r.top, r.width, r.height);
        frame(pressed ? PRESSED_BORDER : isDefault ? DEFAULT_BORDER : BUTTON_BORDER, r.left, r.top, r.width, r.height);
        if (isDefault && !pressed) frame(DEFAULT_BORDER, r.left + 1, r.top + 1, r.width - 2, r.height - 2);
        const int shift = pressed ? 1 : 0;
        clip(r);
        text(r.left + (r.width - textWidth(control.text)) / 2 + shift, centredBaseline(r.top, r.height) + shift,
             control.text);
        unclip();
        if (c.focus() == index) {
            const int inset = scaled(3);
            focusFrame(r.left + inset, r.top + inset, r.width - 2 * inset, r.height - 2 * inset);
        }
    }

    void checkBox(int index) const {
        const DialogController& c = dialog.controller;
        const DialogControl& control = c.control(index);
        const PixelRect& r = control.rect;
        const bool pressed = c.drawnPressed(index);
        const int side = scaled(13);
        const int boxTop = r.top + (r.height - side) / 2;
        fill(pressed ? PRESSED_FACE : BOX_FACE, r.left, boxTop, side, side);
        frame(pressed ? PRESSED_BORDER : BOX_BORDER, r.left, boxTop, side, side);
        XSetForeground(display, dialog.gc, pixel(TEXT));
        if (control.check == 1) {
            // A tick: down from the left third, then up to the upper right.
            const double u = side / 13.0;
            XPoint tick[] = {{short(r.left + int(3 * u)), short(boxTop + int(6.5 * u))},
                             {short(r.left + int(5.5 * u)), short(boxTop + int(9 * u))},
                             {short(r.left + int(10 * u)), short(boxTop + int(3.5 * u))}};
            XSetLineAttributes(display, dialog.gc, unsigned(std::max(2, int(1.6 * u + 0.5))), LineSolid, CapButt,
                               JoinMiter);
            XDrawLines(display, dialog.buffer, dialog.gc, tick, 3, CoordModeOrigin);
            XSetLineAttributes(display, dialog.gc, 0, LineSolid, CapButt, JoinMiter);
        } else if (control.check == 2) {
            const int inset = scaled(3);
            fill(TEXT, r.left + inset, boxTop + inset, side - 2 * inset, side - 2 * inset);
        }
        const int textLeft = r.left + side + scaled(4);
        const int baseline = centredBaseline(r.top, r.height);
        clip(r);
        text(textLeft, baseline, control.text);
        if (c.focus() == index) {
            const int textTop = baseline - dialog.font->ascent;
            focusFrame(textLeft - 1, textTop - 1, textWidth(control.text) + 3, dialog.font->height + 2);
        }
        unclip();
    }

    // The caption breaks the frame's top line near its left end.
    void groupBox(const DialogControl& control) const {
        const PixelRect& r = control.rect;
        const int lineTop = r.top + dialog.font->height / 2;
        frame(GROUP_LINE, r.left, lineTop, r.width, r.height - (lineTop - r.top));
        const int textLeft = r.left + scaled(7);
        const int width = textWidth(control.text);
        fill(FACE, textLeft - scaled(2), r.top, width + scaled(4), dialog.font->height);
        clip(r);
        text(textLeft, r.top + dialog.font->ascent, control.text);
        unclip();
    }

    void staticText(const DialogControl& control) const {
        const PixelRect& r = control.rect;
        const auto measure = [this](std::string_view piece) { return textWidth(piece); };
        int baseline = r.top + dialog.font->ascent;
        clip(r);
        for (std::string_view line : wrapText(control.text, r.width, measure)) {
            text(r.left, baseline, line);
            baseline += dialog.font->height;
        }
        unclip();
    }

    void icon(const DialogControl& control) const {
        if (dialog.iconPixmap == None) return;
        XCopyArea(display, dialog.iconPixmap, dialog.buffer, dialog.gc, 0, 0, unsigned(dialog.iconWidth),
                  unsigned(dialog.iconHeight), control.rect.left, control.rect.top);
    }
};

}  // namespace

void x11PrepareDialogDrawing(Display* display, X11Dialog& dialog) {
    dialog.buffer = XCreatePixmap(display, dialog.window, unsigned(dialog.width), unsigned(dialog.height),
                                  unsigned(dialog.depth));
    dialog.gc = XCreateGC(display, dialog.buffer, 0, nullptr);
    if (dialog.font->xft != nullptr) {
        dialog.xftDraw = XftDrawCreate(display, dialog.buffer, dialog.visual, dialog.colormap);
        XRenderColor black{0, 0, 0, 0xFFFF};
        dialog.textColourAllocated =
            XftColorAllocValue(display, dialog.visual, dialog.colormap, &black, &dialog.textColour) != 0;
        if (!dialog.textColourAllocated && dialog.xftDraw != nullptr) {
            XftDrawDestroy(dialog.xftDraw);
            dialog.xftDraw = nullptr;
        }
    }
    const DialogController& c = dialog.controller;
    for (int i = 0; i < c.count(); ++i) {
        if (c.control(i).kind == ControlKind::Icon && dialog.iconPixmap == None) {
            x11MakeIconPixmap(display, dialog, c.control(i).iconId, FACE);
        }
    }
}

void x11ReleaseDialogDrawing(Display* display, X11Dialog& dialog) {
    if (dialog.xftDraw != nullptr) XftDrawDestroy(dialog.xftDraw);
    if (dialog.textColourAllocated) XftColorFree(display, dialog.visual, dialog.colormap, &dialog.textColour);
    if (dialog.iconPixmap != None) XFreePixmap(display, dialog.iconPixmap);
    if (dialog.gc != nullptr) XFreeGC(display, dialog.gc);
    if (dialog.buffer != None) XFreePixmap(display, dialog.buffer);
    dialog.xftDraw = nullptr;
    dialog.textColourAllocated = false;
    dialog.iconPixmap = None;
    dialog.gc = nullptr;
    dialog.buffer = None;
}

void x11PaintDialog(Display* display, X11Dialog& dialog) {
    if (dialog.buffer == None || dialog.font == nullptr) return;
    const Painter painter{display, dialog};
    painter.fill(FACE, 0, 0, dialog.width, dialog.height);
    const DialogController& c = dialog.controller;
    // Group boxes first, so that the controls inside them lie on top.
    for (int i = 0; i < c.count(); ++i) {
        if (c.control(i).kind == ControlKind::GroupBox) painter.groupBox(c.control(i));
    }
    for (int i = 0; i < c.count(); ++i) {
        switch (c.control(i).kind) {
            case ControlKind::PushButton:
            case ControlKind::DefaultPushButton:
                painter.pushButton(i);
                break;
            case ControlKind::AutoCheckBox:
                painter.checkBox(i);
                break;
            case ControlKind::Text:
                painter.staticText(c.control(i));
                break;
            case ControlKind::Icon:
                painter.icon(c.control(i));
                break;
            case ControlKind::GroupBox:
                break;
        }
    }
    XCopyArea(display, dialog.buffer, dialog.window, dialog.gc, 0, 0, unsigned(dialog.width), unsigned(dialog.height),
              0, 0);
    XFlush(display);
}
