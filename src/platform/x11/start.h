#pragma once
// The exit code of the X11 program when the X server goes away while it runs, beside the
// saver's own (0 after a normal end, 255 for a refused switch, a missing window or a
// display that cannot be opened).
inline constexpr int X11_LOST_SERVER_EXIT_CODE = 2;
