#pragma once
// Which input ends the saver: the decision of the saver window's default procedure, as a
// pure function of the message, the cursor and the shell's flags, so that every rule can
// be checked without a window.
#include <cstdint>

#include "platform/handles.h"
#include "platform/messages.h"
#include "platform/window_system.h"

// The private message that runs the password verifier inside the window procedure.
inline constexpr std::uint32_t verifyPasswordMessage = WM_APP;

struct DismissalInput {
    std::uint32_t message;
    WPARAM wParam;
    LPARAM lParam;
    CursorPos cursor;     // the cursor's screen position now; read for WM_MOUSEMOVE only
    CursorPos reference;  // where cursor travel is measured from
    bool previewMode;
    bool closeApproved;
    bool checkingPassword;
    bool isWin9x;
    bool verifierLoaded;
    std::uint32_t autoplayMessage;  // the registered autoplay query, or 0 for none
};

// What the procedure does after posting a close and hiding the cursor where asked.
enum class DismissalStep {
    DefaultProcessing,  // return the platform's default processing
    Return,             // return result without default processing
    CheckPassword,      // WM_CLOSE: a refused verifyPassword returns 0 with the reference
                        // moved to the cursor; an allowed one goes to default processing
    RunVerifier,        // return what the loaded verifier answers for the window
};

struct DismissalDecision {
    bool postClose;
    bool hideCursor;
    DismissalStep step;
    LRESULT result;       // for DismissalStep::Return
    CursorPos reference;  // the reference position from now on
};

inline constexpr std::uint32_t mouseMoveThreshold = 4;

DismissalDecision decideDismissal(const DismissalInput& input);
