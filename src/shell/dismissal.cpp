#include "shell/dismissal.h"

#include "platform/messages.h"

namespace {

// |dx| + |dy| in 64 bits, so that no pair of 32-bit positions overflows it.
std::uint64_t cursorTravel(CursorPos from, CursorPos to) {
    const std::int64_t dx = std::int64_t(to.x) - from.x;
    const std::int64_t dy = std::int64_t(to.y) - from.y;
    return std::uint64_t(dx < 0 ? -dx : dx) + std::uint64_t(dy < 0 ? -dy : dy);
}

// The rules for a running full-screen saver while no password check is under way. They
// only post a close or hide the cursor; WM_SETCURSOR alone ends the procedure here.
void applyInputRules(const DismissalInput& in, DismissalDecision& out) {
    switch (in.message) {
        case WM_SHOWWINDOW:
            if (in.wParam != 0) out.hideCursor = true;
            break;
        case WM_ACTIVATEAPP:
            if (in.wParam == 0) out.postClose = true;
            break;
        case WM_SETCURSOR:
            out.hideCursor = true;
            out.step = DismissalStep::Return;
            out.result = 1;
            break;
        case WM_POWER:
            if (in.wParam == PWR_CRITICALRESUME) out.postClose = true;
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_POWERBROADCAST:
            out.postClose = true;
            break;
        case WM_MOUSEMOVE:
            // Small moves add up against the same reference point.
            if (cursorTravel(in.reference, in.cursor) > mouseMoveThreshold) {
                out.postClose = true;
                out.reference = in.cursor;
            }
            break;
        default:
            break;
    }
}

}  // namespace

DismissalDecision decideDismissal(const DismissalInput& in) {
    DismissalDecision out{false, false, DismissalStep::DefaultProcessing, 0, in.reference};
    if (!in.previewMode && !in.closeApproved) {
        if (in.message == WM_CLOSE && in.isWin9x) {
            out.step = DismissalStep::CheckPassword;
            return out;
        }
        if (in.message == verifyPasswordMessage && in.isWin9x) {
            if (in.verifierLoaded) {
                out.step = DismissalStep::RunVerifier;
            } else {
                out.step = DismissalStep::Return;
                out.result = 1;
            }
            return out;
        }
        if (!in.checkingPassword) {
            applyInputRules(in, out);
            if (out.step == DismissalStep::Return) return out;
        }
    }
    if (in.autoplayMessage != 0 && in.message == in.autoplayMessage) {
        out.postClose = true;
        out.step = DismissalStep::Return;
        out.result = in.verifierLoaded ? 1 : 0;
    }
    return out;
}
