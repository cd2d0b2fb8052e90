#pragma once
// Windows for the saver to draw in when a host, not the Windows switches, starts it on
// X11: the root window, and a window of the program's own on the desktop.
#include "platform/handles.h"

// The root window of the display's default screen; null without a display (x11Display
// has said why).
WindowHandle x11RootWindow();

// An ordinary top-level window of the program's own, mapped: resizable, width by height,
// named title, with the program's icon, and black until something draws in it. The
// window manager's close button closes the windows inside it. Null without a display.
WindowHandle x11OpenOwnWindow(const char* title, int width, int height);
