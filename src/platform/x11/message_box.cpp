// The message box of the X11 program: the text, wrapped to at most three fifths of the
// screen's width, above an OK button, laid out in dialog units like a dialog template and
// run as a modal dialog over its owner. OK, Enter, Space on the button, Escape and the
// close button all end it.
#include <algorithm>
#include <string_view>

#include "platform/dialogs.h"
#include "platform/common/embedded_resources.h"
#include "platform/messages.h"
#include "platform/dialog_model/text_wrap.h"
#include "platform/x11/dialog.h"
#include "platform/x11/display.h"

namespace {

constexpr int FONT_POINTS = 9;
constexpr int MARGIN = 7;  // dialog units round the text and below the button
constexpr int BUTTON_WIDTH = 50;
constexpr int BUTTON_HEIGHT = 14;
constexpr int MIN_WIDTH = 120;

std::intptr_t messageBoxProc(WindowHandle box, std::uint32_t message, WPARAM wParam, LPARAM) {
    const bool ends = message == WM_CLOSE ||
                      (message == WM_COMMAND && (wParam == WPARAM(IDOK) || wParam == WPARAM(IDCANCEL)));
    if (ends) platformEndDialog(box, IDOK);
    return message == WM_INITDIALOG || ends ? 1 : 0;
}

int unitsAcross(int pixels, DialogBaseUnits units) { return (pixels * 4 + units.x - 1) / units.x; }
int unitsDown(int pixels, DialogBaseUnits units) { return (pixels * 8 + units.y - 1) / units.y; }

}  // namespace

bool x11MessageBox(WindowHandle owner, const char* text, const char* caption) {
    const X11DialogFont* font = nullptr;
    DialogBaseUnits units{};
    if (text == nullptr || !x11DialogMetrics(FONT_POINTS, font, units)) return false;
    Display* display = x11DisplayIfOpen();
    const int maxWidth = std::max(200, DisplayWidth(display, DefaultScreen(display)) * 3 / 5);
    const auto measure = [display, font](std::string_view piece) { return x11TextWidth(display, *font, piece); };
    int textWidth = 0;
    const auto lines = wrapText(text, maxWidth, measure);
    for (std::string_view line : lines) textWidth = std::max(textWidth, measure(line));
    // One unit more across, so that the control wraps the text just as it was measured.
    const int textAcross = unitsAcross(textWidth, units) + 1;
    const int textDown = unitsDown(int(lines.size()) * font->height, units);
    const int width = std::max({MIN_WIDTH, textAcross + 2 * MARGIN, BUTTON_WIDTH + 2 * MARGIN});
    const int buttonTop = MARGIN + textDown + MARGIN;
    const ControlTemplate controls[] = {
        {ControlKind::Text, -1, text, 0, false, MARGIN, MARGIN, textAcross, textDown},
        {ControlKind::DefaultPushButton, IDOK, "OK", 0, true, (width - BUTTON_WIDTH) / 2, buttonTop, BUTTON_WIDTH,
         BUTTON_HEIGHT},
    };
    const DialogTemplate box = {0,         caption != nullptr ? caption : "", width, buttonTop + BUTTON_HEIGHT + MARGIN,
                                false,     FONT_POINTS,
                                controls,  2};
    return x11RunDialog(box, &orvelResources, owner, messageBoxProc) != -1;
}
