#pragma once
// Dialog templates for platforms without dialog resources: a dialog and its controls in
// dialog units, as a Windows DIALOG resource lays them out. A dialog unit is a quarter of
// the dialog font's average character width across and an eighth of its height down.
#include <cstdint>

enum class ControlKind {
    PushButton,
    DefaultPushButton,  // the button Enter presses when the focus is on no push button
    Text,               // static text, left-aligned, wrapped at word breaks
    Icon,               // static icon, drawn at its own size from the control's corner
    AutoCheckBox,       // a check box that toggles itself when clicked
    GroupBox,           // a frame with a caption, round other controls
};

// A control without an identifier has id -1.
struct ControlTemplate {
    ControlKind kind;
    int id;
    const char* text;  // the caption; for an icon, unused
    int iconId;        // for an icon: the icon resource; else 0
    bool tabStop;
    int x;
    int y;
    int width;
    int height;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int width;
    int height;
    bool centreOnMouse;  // DS_CENTERMOUSE: centred on the mouse cursor when shown
    int fontPoints;      // the dialog font's size in points
    const ControlTemplate* controls;
    int controlCount;
};

// The program's dialog template with this resource number, or null.
const DialogTemplate* findDialogTemplate(int id);
