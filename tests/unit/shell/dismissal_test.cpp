// The dismissal rules of the saver window: which message posts a close, what it returns,
// and where cursor travel is measured from, for the flags that decide which rules apply.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <utility>

#include "platform/messages.h"
#include "shell/dismissal.h"

namespace {

constexpr std::uint32_t AUTOPLAY = 0xC123;

// The shell's flags: the preview, an approved close, a password check under way, the
// Windows 95 family, a loaded verifier.
enum Flags { PREVIEW = 1, APPROVED = 2, CHECKING = 4, WIN9X = 8, VERIFIER = 16 };

DismissalInput input(std::uint32_t message, WPARAM wParam = 0, int flags = 0, std::uint32_t autoplay = 0) {
    return {message, wParam, 0, {100, 100}, {100, 100}, (flags & PREVIEW) != 0, (flags & APPROVED) != 0,
            (flags & CHECKING) != 0, (flags & WIN9X) != 0, (flags & VERIFIER) != 0, autoplay};
}

// The rules watch a running full-screen saver only: not the preview, nor a saver whose
// close was approved, nor input while a password check runs. WM_CLOSE and the verifier's
// message go to the password check on the Windows 95 family only; the autoplay query
// closes in every mode and state.
TEST(Dismissal, EachMessageUnderTheFlagsThatDecide) {
    constexpr bool F = false, T = true;
    constexpr DismissalStep D = DismissalStep::DefaultProcessing, R = DismissalStep::Return;
    const struct {
        std::uint32_t message;
        WPARAM wParam;
        int flags;
        bool postClose, hideCursor;
        DismissalStep step;
        LRESULT result;
    } rows[] = {
        {WM_KEYDOWN, 0x41, 0, T, F, D, 0},       {WM_SYSKEYDOWN, 0x12, 0, T, F, D, 0},
        {WM_LBUTTONDOWN, 1, 0, T, F, D, 0},      {WM_RBUTTONDOWN, 2, 0, T, F, D, 0},
        {WM_MBUTTONDOWN, 16, 0, T, F, D, 0},     {WM_POWERBROADCAST, 0, 0, T, F, D, 0},
        {WM_POWER, PWR_CRITICALRESUME, 0, T, F, D, 0}, {WM_POWER, 2, 0, F, F, D, 0},
        {WM_ACTIVATEAPP, 0, 0, T, F, D, 0},      {WM_ACTIVATEAPP, 1, 0, F, F, D, 0},
        {WM_SHOWWINDOW, 1, 0, F, T, D, 0},       {WM_SHOWWINDOW, 0, 0, F, F, D, 0},
        {WM_SETCURSOR, 0, 0, F, T, R, 1},
        // Releases, characters, double clicks, wheels and extra buttons never close.
        {WM_KEYUP, 0x41, 0, F, F, D, 0},         {WM_CHAR, 'a', 0, F, F, D, 0},
        {WM_LBUTTONUP, 0, 0, F, F, D, 0},        {WM_LBUTTONDBLCLK, 1, 0, F, F, D, 0},
        {WM_MOUSEWHEEL, 120u << 16, 0, F, F, D, 0}, {WM_XBUTTONDOWN, 1u << 16, 0, F, F, D, 0},
        {WM_MOUSEMOVE, 0, 0, F, F, D, 0},  // no travel
        {WM_SYSCOMMAND, SC_SCREENSAVE, 0, F, F, D, 0},  // the shell's concern
        // The flags.
        {WM_KEYDOWN, 0x41, PREVIEW, F, F, D, 0}, {WM_KEYDOWN, 0x41, APPROVED, F, F, D, 0},
        {WM_KEYDOWN, 0x41, CHECKING | WIN9X | VERIFIER, F, F, D, 0},
        {WM_SETCURSOR, 0, APPROVED, F, F, D, 0}, {WM_SETCURSOR, 0, PREVIEW, F, F, D, 0},
        {WM_CLOSE, 0, 0, F, F, D, 0},            {WM_CLOSE, 0, WIN9X, F, F, DismissalStep::CheckPassword, 0},
        {WM_CLOSE, 0, WIN9X | CHECKING | VERIFIER, F, F, DismissalStep::CheckPassword, 0},
        {WM_CLOSE, 0, WIN9X | PREVIEW, F, F, D, 0}, {WM_CLOSE, 0, WIN9X | APPROVED, F, F, D, 0},
        {verifyPasswordMessage, 0, 0, F, F, D, 0},
        {verifyPasswordMessage, 0, WIN9X | CHECKING | VERIFIER, F, F, DismissalStep::RunVerifier, 0},
        {verifyPasswordMessage, 0, WIN9X, F, F, R, 1}, {verifyPasswordMessage, 0, WIN9X | PREVIEW | VERIFIER, F, F, D, 0},
        {AUTOPLAY, 0, 0, T, F, R, 0},            {AUTOPLAY, 0, PREVIEW | APPROVED | CHECKING | WIN9X | VERIFIER, T, F, R, 1},
    };
    for (const auto& r : rows) {
        const DismissalDecision d = decideDismissal(input(r.message, r.wParam, r.flags, AUTOPLAY));
        SCOPED_TRACE(testing::Message() << std::hex << r.message << " " << r.wParam << " flags " << r.flags);
        EXPECT_EQ(std::tuple(d.postClose, d.hideCursor, int(d.step), d.result),
                  std::tuple(r.postClose, r.hideCursor, int(r.step), r.result));
    }
    EXPECT_FALSE(decideDismissal(input(0)).postClose) << "message 0 with no autoplay query registered";
}

TEST(Dismissal, CursorTravelIsSummedFromTheReferencePosition) {
    const struct {
        CursorPos reference;
        CursorPos cursor;
        bool closes;
    } cases[] = {
        {{100, 100}, {102, 102}, false},  // 4 pixels
        {{100, 100}, {103, 102}, true},  // 5 pixels
        {{100, 100}, {100, 95}, true},
        {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, true},  // sums beyond 32 bits still close
        {{INT32_MAX, 0}, {INT32_MIN, 0}, true},
        {{-2, -2}, {2, -2}, false},
    };
    for (const auto& c : cases) {
        DismissalInput in = input(WM_MOUSEMOVE);
        in.reference = c.reference;
        in.cursor = c.cursor;
        const DismissalDecision d = decideDismissal(in);
        EXPECT_EQ(d.postClose, c.closes) << c.cursor.x << "," << c.cursor.y;
        // A close moves the reference to the cursor; small moves keep it where it was.
        const CursorPos expected = c.closes ? c.cursor : c.reference;
        EXPECT_EQ(std::pair(d.reference.x, d.reference.y), std::pair(expected.x, expected.y));
    }
}

}  // namespace
