#pragma once
// What the controls of a modal dialog do with the keyboard and the mouse, apart from any
// window system: the focus and its tab order, the default button, push buttons and check
// boxes pressed and released, and the command each click sends to the dialog procedure.
// The window-system code feeds it events and draws what it holds.
#include <cstdint>

#include "platform/dialog_model/dialog_template.h"
#include "platform/dialog_model/dialog_units.h"

struct DialogControl {
    ControlKind kind;
    int id;
    const char* text;
    int iconId;
    bool tabStop;
    std::uint32_t check;  // check boxes: 0 unchecked, 1 checked, 2 indeterminate
    PixelRect rect;
};

enum class DialogKey {
    Tab,        // to the next tab stop, round to the first
    BackTab,    // to the previous one (Shift+Tab)
    SpaceDown,  // presses the focused push button or check box...
    SpaceUp,    // ...which is clicked when Space is let go
    Enter,      // the focused push button, else the default button
    Escape,     // Cancel (IDCANCEL), whether or not there is such a button
};

// A click that the dialog procedure hears of as WM_COMMAND with the control's id.
struct DialogCommand {
    bool send;
    int id;
};

class DialogController {
public:
    static constexpr int CAPACITY = 16;

    // The template's controls at their pixel rectangles for the base units; no focus,
    // nothing pressed, every box unchecked. Controls beyond CAPACITY are dropped.
    void load(const DialogTemplate& dialog, DialogBaseUnits units);

    int count() const { return count_; }
    const DialogControl& control(int index) const { return controls_[index]; }
    // The index of the control with this id, or -1.
    int find(int id) const;

    // The focus: the index of a control, or -1 for none.
    int focus() const { return focus_; }
    void focusFirstTabStop();

    // The push button drawn as the default one: the focused push button, else the
    // template's default button; -1 when there is neither.
    int defaultButton() const;
    // Whether the control is drawn pushed in: held by the mouse with the pointer over
    // it, or by Space.
    bool drawnPressed(int index) const;

    std::uint32_t check(int index) const { return controls_[index].check; }
    void setCheck(int index, std::uint32_t state);

    DialogCommand key(DialogKey key);
    // Button 1 at (x, y) in the dialog's client area.
    DialogCommand pointerDown(int x, int y);
    void pointerMove(int x, int y);
    DialogCommand pointerUp(int x, int y);

private:
    bool clickable(int index) const;
    int hit(int x, int y) const;
    DialogCommand click(int index);
    void moveFocus(int step);

    DialogControl controls_[CAPACITY]{};
    int count_ = 0;
    int focus_ = -1;
    int pressed_ = -1;          // held by the mouse or by Space
    bool pressedByKey_ = false;
    bool pointerInside_ = false;
};
