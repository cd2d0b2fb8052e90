#pragma once
// Which window system the Linux program runs on. The X11 program asks this first thing
// and hands over to orvel-wayland, which lives beside it, when the answer is Wayland.
//
// An X window named on the command line or by the environment is an X11 job wherever the
// program runs (xscreensaver on a Wayland desktop runs its display modes through XWayland
// and hands them an X window). Otherwise a reachable compositor means Wayland:
//
//   the command line or the environment                          window system
//   --x11 or -x11 anywhere (taken out of the arguments)          X11
//   XSCREENSAVER_WINDOW set, not empty                           X11
//   -root, --root, -window-id, --window-id anywhere              X11
//   only -window or --window among those options                 Wayland
//   none of those options, and the Windows switch names a        X11
//     window: P or L (the preview), A (the password change),
//     then spaces and a number other than 0; C (the configure
//     dialog), then a colon and a number other than 0
//   any other Windows switch: /s, /c, /c:0, /p without a number  Wayland
//   ... and each "Wayland" above needs WAYLAND_DISPLAY set, not
//     empty, and a compositor accepting a connection there;      else X11
//
// The Windows switch is read as the saver reads it: the arguments joined by single spaces,
// the letter after any mix of spaces, '-' and '/', in either case, and its number in
// decimal, 32 bits wrapping. The host options are matched exactly, as the program's entry
// matches them, and when one is given the Windows switches are not read.

// Takes --x11 and -x11 out of argv (argc shrinks to match) and answers whether the
// Wayland program should run. xscreensaverWindow and waylandDisplay are the values of
// those variables (null when unset); compositorReachable is asked only when needed, with
// the value of WAYLAND_DISPLAY.
bool chooseWayland(int& argc, char** argv, const char* xscreensaverWindow, const char* waylandDisplay,
                   bool (*compositorReachable)(const char*));

// Whether a compositor accepts a connection at WAYLAND_DISPLAY's socket (a name under
// XDG_RUNTIME_DIR, or an absolute path).
bool waylandSocketAccepts(const char* waylandDisplay);

// Replaces the process with orvel-wayland from the directory of the running program,
// with the same arguments; returns only when it cannot be started.
void startWaylandProgram(char** argv);
