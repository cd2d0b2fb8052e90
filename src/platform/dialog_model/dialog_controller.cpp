#include "platform/dialog_model/dialog_controller.h"

#include "platform/messages.h"

namespace {

bool isPushButton(ControlKind kind) {
    return kind == ControlKind::PushButton || kind == ControlKind::DefaultPushButton;
}

}  // namespace

void DialogController::load(const DialogTemplate& dialog, DialogBaseUnits units) {
    *this = DialogController{};
    for (int i = 0; i < dialog.controlCount && count_ < CAPACITY; ++i) {
        const ControlTemplate& t = dialog.controls[i];
        controls_[count_++] = {t.kind, t.id, t.text, t.iconId, t.tabStop, 0,
                               mapDialogRect(t.x, t.y, t.width, t.height, units)};
    }
}

int DialogController::find(int id) const {
    for (int i = 0; i < count_; ++i) {
        if (controls_[i].id == id) return i;
    }
    return -1;
}

void DialogController::focusFirstTabStop() {
    focus_ = -1;
    moveFocus(1);
}

int DialogController::defaultButton() const {
    if (focus_ >= 0 && isPushButton(controls_[focus_].kind)) return focus_;
    for (int i = 0; i < count_; ++i) {
        if (controls_[i].kind == ControlKind::DefaultPushButton) return i;
    }
    return -1;
}

bool DialogController::drawnPressed(int index) const {
    return index == pressed_ && (pressedByKey_ || pointerInside_);
}

void DialogController::setCheck(int index, std::uint32_t state) {
    if (index >= 0 && index < count_ && controls_[index].kind == ControlKind::AutoCheckBox) {
        controls_[index].check = state;
    }
}

bool DialogController::clickable(int index) const {
    return index >= 0 && (isPushButton(controls_[index].kind) || controls_[index].kind == ControlKind::AutoCheckBox);
}

int DialogController::hit(int x, int y) const {
    for (int i = 0; i < count_; ++i) {
        if (clickable(i) && controls_[i].rect.contains(x, y)) return i;
    }
    return -1;
}

// A check box toggles itself first, as an automatic check box does; an indeterminate
// one becomes checked.
DialogCommand DialogController::click(int index) {
    DialogControl& c = controls_[index];
    if (c.kind == ControlKind::AutoCheckBox) c.check = c.check == 1 ? 0 : 1;
    return {true, c.id};
}

void DialogController::moveFocus(int step) {
    if (count_ == 0) return;
    int index = focus_;
    for (int tried = 0; tried < count_; ++tried) {
        if (index < 0) {
            index = step > 0 ? 0 : count_ - 1;
        } else {
            index = (index + step + count_) % count_;
        }
        if (controls_[index].tabStop) {
            focus_ = index;
            return;
        }
    }
}

DialogCommand DialogController::key(DialogKey key) {
    // A control held by the mouse keeps the keyboard from it, as Windows' capture does.
    if (pressed_ >= 0 && !pressedByKey_) return {false, 0};
    switch (key) {
        case DialogKey::Tab:
        case DialogKey::BackTab:
            pressed_ = -1;
            pressedByKey_ = false;
            moveFocus(key == DialogKey::Tab ? 1 : -1);
            return {false, 0};
        case DialogKey::SpaceDown:
            if (clickable(focus_)) {
                pressed_ = focus_;
                pressedByKey_ = true;
            }
            return {false, 0};
        case DialogKey::SpaceUp: {
            const int held = pressed_;
            pressed_ = -1;
            pressedByKey_ = false;
            if (held >= 0 && held == focus_) return click(held);
            return {false, 0};
        }
        case DialogKey::Enter: {
            pressed_ = -1;
            pressedByKey_ = false;
            if (focus_ >= 0 && isPushButton(controls_[focus_].kind)) return {true, controls_[focus_].id};
            const int fallback = defaultButton();
            return {true, fallback >= 0 ? controls_[fallback].id : IDOK};
        }
        case DialogKey::Escape:
            pressed_ = -1;
            pressedByKey_ = false;
            return {true, IDCANCEL};
    }
    return {false, 0};
}

DialogCommand DialogController::pointerDown(int x, int y) {
    if (pressed_ >= 0) return {false, 0};
    const int index = hit(x, y);
    if (index < 0) return {false, 0};
    focus_ = index;
    pressed_ = index;
    pressedByKey_ = false;
    pointerInside_ = true;
    return {false, 0};
}

void DialogController::pointerMove(int x, int y) {
    if (pressed_ >= 0 && !pressedByKey_) pointerInside_ = controls_[pressed_].rect.contains(x, y);
}

DialogCommand DialogController::pointerUp(int x, int y) {
    if (pressed_ < 0 || pressedByKey_) return {false, 0};
    const int held = pressed_;
    pressed_ = -1;
    pointerInside_ = false;
    if (controls_[held].rect.contains(x, y)) return click(held);
    return {false, 0};
}
