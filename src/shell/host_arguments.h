#pragma once
// The command line as xscreensaver and other hosts that hand the saver a window give it,
// and the window mode for running the saver by hand on a desktop. Read before the
// Windows switches, on the platforms where such hosts exist; a command line with none of
// these options is left to the Windows switches unchanged. Pure functions, so that they
// can be checked without a display.
//
//   -root, --root             draw in the window $XSCREENSAVER_WINDOW names, else in the
//                             root window
//   -window-id ID, --window-id ID
//                             draw in window ID
//   -window, --window         draw in a window of the program's own on the desktop
#include <cstdint>
#include <string>
#include <vector>

enum class HostMode {
    None,         // no host option: the Windows switches decide
    GivenWindow,  // draw in HostRequest::window
    RootWindow,   // draw over the whole root window
    OwnWindow,    // draw in an ordinary top-level window of the program's own
    Refused,      // a window id that does not parse, or options that do not go together
};

struct HostRequest {
    HostMode mode = HostMode::None;
    std::uint32_t window = 0;           // for GivenWindow
    std::string error;                  // for Refused: one line saying what is wrong
    std::vector<std::string> ignored;   // other arguments beside a host option
};

// A window id in hexadecimal ("0x" or "0X", then hex digits) or decimal: nothing else
// before, inside or after it (no sign, no blanks), a value that fits in 32 bits, and not
// 0, which names no window. False for anything else.
bool parseWindowId(const char* text, std::uint32_t& window);

// The host request of the arguments argv[1] to argv[argc - 1], with the value of
// XSCREENSAVER_WINDOW (null when it is not set; an empty value counts as not set).
HostRequest parseHostArguments(int argc, const char* const* argv, const char* xscreensaverWindow);
