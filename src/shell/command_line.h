#pragma once
// The command line as the screen-saver machinery hands it over: the program name, then
// one switch letter and, for some modes, a window number. Pure functions, so that the
// choice of mode can be checked without any platform.
#include <cstdint>

// What the saver is to do.
enum class RunMode {
    Configure,       // the configure dialog; window is its owner (0: none, or look it up)
    Saver,           // the full-screen saver
    Preview,         // a preview child of window (0: no valid number was given)
    ChangePassword,  // change the password, owned by window (0: the foreground window)
    Refused,         // an unknown switch, or a mode this platform family cannot run
};

struct ModeSelection {
    RunMode mode;
    std::uint32_t window;  // as read by parseWindowHandle; 0 when none was given
    const char* rest;      // where the window number is read from: after the letter, and
                           // for preview and change password after the spaces too
    // Configure from its letter, and change password: the owner is window when that is an
    // existing window, else the foreground window. False for the configure dialog of an
    // empty text, which has no owner.
    bool findOwner;
};

// The argument text inside a full command line: steps over the program name (quoted or
// not) and every byte from 0x01 to 0x20 after it. Returns a pointer into commandLine.
// The quoted name is walked character by character with nextCharacter, which a platform
// with double-byte code pages supplies; nullptr means one byte at a time.
const char* isolateArgumentText(const char* commandLine, const char* (*nextCharacter)(const char*) = nullptr);

// Decimal digits from the start of text, in unsigned 32-bit arithmetic that wraps; stops
// at the first other character. No sign, no blanks, no hexadecimal.
std::uint32_t parseWindowHandle(const char* text);

// The mode for an argument text on a platform of the Windows 95 family or not. Only the
// first letter after any mix of spaces, '-' and '/' decides.
ModeSelection selectMode(const char* argumentText, bool isWin9x);
