#pragma once
// Shared between the X11 dialog files: one running modal dialog, the modal run itself
// (dialog.cpp), its window (dialog_window.cpp), its drawing (dialog_draw.cpp) and the message box made with it
// (message_box.cpp).
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

#include <cstdint>

#include "platform/dialog_model/dialog_controller.h"
#include "platform/dialog_model/dialog_template.h"
#include "platform/handles.h"
#include "platform/x11/dialog_font.h"

// The colour of a dialog's face, 0xRRGGBB.
inline constexpr std::uint32_t X11_DIALOG_FACE_RGB = 0xF0F0F0;

// A modal dialog on the screen: its window, its controls' state and what paints it.
struct X11Dialog {
    Window window;
    Window owner;              // None when it has no owner
    InstanceHandle instance;   // where its icons are found
    const DialogTemplate* dialogTemplate;
    DialogProc procedure;
    DialogController controller;
    const X11DialogFont* font;
    DialogBaseUnits units;
    int width;
    int height;
    bool ended;
    std::intptr_t result;
    bool shown;                // painted once since it was mapped
    bool closeSent;            // a signal's close request has been passed on
    bool spaceDown;            // Space is held, so its repeats press nothing more

    // Drawing: a back buffer the size of the window, copied in whole after each paint.
    Visual* visual;
    Colormap colormap;
    int depth;
    Pixmap buffer;
    GC gc;
    XftDraw* xftDraw;
    XftColor textColour;
    bool textColourAllocated;
    Pixmap iconPixmap;         // the icon control's image over the dialog's face colour
    int iconWidth;
    int iconHeight;
};

// Runs dialogTemplate modally with procedure, owned by owner (or none): WM_INITDIALOG,
// then WM_COMMAND for clicks and WM_CLOSE for the window manager's close, until the
// procedure ends it. Returns the EndDialog value, or -1 when it cannot be shown.
std::intptr_t x11RunDialog(const DialogTemplate& dialogTemplate, InstanceHandle instance, WindowHandle owner,
                           DialogProc procedure);

// The owner as an X window: an existing window other than the root, else None.
Window x11DialogOwner(Display* display, WindowHandle owner);
// The dialog's window, placed, with its window-manager hints and drawing resources;
// false when the server refuses it. Its destruction releases them.
bool x11CreateDialogWindow(Display* display, X11Dialog& dialog);
void x11DestroyDialogWindow(Display* display, X11Dialog& dialog, bool alreadyGone);

// The running dialog with this window, or null.
X11Dialog* x11FindDialog(WindowHandle window);

// The dialog font and its base units, for sizing a template to its text. False without
// a display or a font.
bool x11DialogMetrics(int points, const X11DialogFont*& font, DialogBaseUnits& units);

// The drawing resources of a dialog whose window exists, and their release.
void x11PrepareDialogDrawing(Display* display, X11Dialog& dialog);
void x11ReleaseDialogDrawing(Display* display, X11Dialog& dialog);
// Paints the whole dialog into its back buffer and shows it.
void x11PaintDialog(Display* display, X11Dialog& dialog);

// The icon control's image: icon resource iconId of the dialog's instance composed over
// the face colour (0xRRGGBB), at the font's scale. False when there is no such icon.
bool x11MakeIconPixmap(Display* display, X11Dialog& dialog, int iconId, std::uint32_t faceRgb);

// The program's icon as the window manager shows it (_NET_WM_ICON), from the instance's
// icon resource; nothing when there is none.
void x11SetWindowIcon(Display* display, Window window, InstanceHandle instance, int iconId);

// A message box with an OK button, owned by owner (or none): modal until OK, Enter,
// Space, Escape or the close button. False when it cannot be shown.
bool x11MessageBox(WindowHandle owner, const char* text, const char* caption);
