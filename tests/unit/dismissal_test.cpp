// The dismissal rules of the saver window: which message posts a close, what it returns,
// and where cursor travel is measured from, for every flag combination.
#include <gtest/gtest.h>

#include <climits>

#include "platform/messages.h"
#include "shell/dismissal.h"

namespace {

constexpr std::uint32_t AUTOPLAY = 0xC123;

DismissalInput running(std::uint32_t message, WPARAM wParam = 0) {
    return {message, wParam, 0, {100, 100}, {100, 100}, false, false, false, false, false, 0};
}

struct Row {
    std::uint32_t message;
    WPARAM wParam;
    bool postClose;
    bool hideCursor;
    DismissalStep step;
    LRESULT result;
};

TEST(Dismissal, EachMessageOfARunningFullScreenSaver) {
    const Row rows[] = {
        {WM_KEYDOWN, 0x41, true, false, DismissalStep::DefaultProcessing, 0},
        {WM_SYSKEYDOWN, 0x12, true, false, DismissalStep::DefaultProcessing, 0},
        {WM_LBUTTONDOWN, 1, true, false, DismissalStep::DefaultProcessing, 0},
        {WM_RBUTTONDOWN, 2, true, false, DismissalStep::DefaultProcessing, 0},
        {WM_MBUTTONDOWN, 16, true, false, DismissalStep::DefaultProcessing, 0},
        {WM_POWERBROADCAST, 0, true, false, DismissalStep::DefaultProcessing, 0},
        {WM_POWERBROADCAST, 0x12345, true, false, DismissalStep::DefaultProcessing, 0},
        {WM_POWER, PWR_CRITICALRESUME, true, false, DismissalStep::DefaultProcessing, 0},
        {WM_POWER, 2, false, false, DismissalStep::DefaultProcessing, 0},
        {WM_ACTIVATEAPP, 0, true, false, DismissalStep::DefaultProcessing, 0},
        {WM_ACTIVATEAPP, 1, false, false, DismissalStep::DefaultProcessing, 0},
        {WM_SHOWWINDOW, 1, false, true, DismissalStep::DefaultProcessing, 0},
        {WM_SHOWWINDOW, 0, false, false, DismissalStep::DefaultProcessing, 0},
        {WM_SETCURSOR, 0, false, true, DismissalStep::Return, 1},
        // Releases, characters, double clicks, wheels and extra buttons never close.
        {WM_KEYUP, 0x41, false, false, DismissalStep::DefaultProcessing, 0},
        {WM_SYSKEYUP, 0x12, false, false, DismissalStep::DefaultProcessing, 0},
        {WM_CHAR, 'a', false, false, DismissalStep::DefaultProcessing, 0},
        {WM_LBUTTONUP, 0, false, false, DismissalStep::DefaultProcessing, 0},
        {WM_LBUTTONDBLCLK, 1, false, false, DismissalStep::DefaultProcessing, 0},
        {WM_MOUSEWHEEL, 120u << 16, false, false, DismissalStep::DefaultProcessing, 0},
        {WM_MOUSEHWHEEL, 120u << 16, false, false, DismissalStep::DefaultProcessing, 0},
        {WM_XBUTTONDOWN, 1u << 16, false, false, DismissalStep::DefaultProcessing, 0},
        {WM_MOUSEMOVE, 0, false, false, DismissalStep::DefaultProcessing, 0},  // no travel
        {WM_CLOSE, 0, false, false, DismissalStep::DefaultProcessing, 0},
        {verifyPasswordMessage, 0, false, false, DismissalStep::DefaultProcessing, 0},
        {WM_TIMER, 1, false, false, DismissalStep::DefaultProcessing, 0},
        {WM_SYSCOMMAND, SC_SCREENSAVE, false, false, DismissalStep::DefaultProcessing, 0},  // the shell's concern
        {0, 0, false, false, DismissalStep::DefaultProcessing, 0},  // no autoplay query is registered
    };
    for (const Row& r : rows) {
        const DismissalDecision d = decideDismissal(running(r.message, r.wParam));
        EXPECT_EQ(d.postClose, r.postClose) << std::hex << r.message << " " << r.wParam;
        EXPECT_EQ(d.hideCursor, r.hideCursor) << std::hex << r.message;
        EXPECT_EQ(int(d.step), int(r.step)) << std::hex << r.message;
        EXPECT_EQ(d.result, r.result) << std::hex << r.message;
    }
}

TEST(Dismissal, CursorTravelIsSummedFromTheReferencePosition) {
    const struct {
        CursorPos reference;
        CursorPos cursor;
        bool closes;
    } cases[] = {
        {{100, 100}, {102, 102}, false},  // 4 pixels
        {{100, 100}, {104, 100}, false},
        {{100, 100}, {96, 100}, false},
        {{100, 100}, {103, 102}, true},  // 5 pixels
        {{100, 100}, {100, 95}, true},
        {{0, 0}, {INT32_MAX, INT32_MAX}, true},  // sums beyond 32 bits still close
        {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, true},
        {{INT32_MAX, 0}, {INT32_MIN, 0}, true},
        {{-2, -2}, {2, -2}, false},
    };
    for (const auto& c : cases) {
        DismissalInput in = running(WM_MOUSEMOVE);
        in.reference = c.reference;
        in.cursor = c.cursor;
        const DismissalDecision d = decideDismissal(in);
        EXPECT_EQ(d.postClose, c.closes) << c.cursor.x << "," << c.cursor.y;
        // A close moves the reference to the cursor; small moves keep it where it was.
        const CursorPos expected = c.closes ? c.cursor : c.reference;
        EXPECT_EQ(d.reference.x, expected.x);
        EXPECT_EQ(d.reference.y, expected.y);
    }
}

TEST(Dismissal, ThreeMovesOfTwoPixelsCloseOnTheThird) {
    DismissalInput in = running(WM_MOUSEMOVE);
    bool closed[3];
    for (int i = 0; i < 3; ++i) {
        in.cursor = {100 + 2 * (i + 1), 100};
        const DismissalDecision d = decideDismissal(in);
        closed[i] = d.postClose;
        in.reference = d.reference;
    }
    EXPECT_FALSE(closed[0]);
    EXPECT_FALSE(closed[1]);
    EXPECT_TRUE(closed[2]);
}

TEST(Dismissal, EveryFlagCombination) {
    // For a key press, a close request, the verifier message and the autoplay query,
    // under all 16 combinations of the four flags, with and without a verifier.
    for (int bits = 0; bits < 32; ++bits) {
        const bool preview = bits & 1, approved = bits & 2, checking = bits & 4, win9x = bits & 8,
                   verifier = bits & 16;
        const bool watching = !preview && !approved;
        auto input = [&](std::uint32_t message) {
            DismissalInput in = running(message);
            in.previewMode = preview;
            in.closeApproved = approved;
            in.checkingPassword = checking;
            in.isWin9x = win9x;
            in.verifierLoaded = verifier;
            in.autoplayMessage = AUTOPLAY;
            return in;
        };
        const std::string flags = "preview=" + std::to_string(preview) + " approved=" + std::to_string(approved) +
                                  " checking=" + std::to_string(checking) + " win9x=" + std::to_string(win9x) +
                                  " verifier=" + std::to_string(verifier);

        const DismissalDecision key = decideDismissal(input(WM_KEYDOWN));
        EXPECT_EQ(key.postClose, watching && !checking) << flags;
        EXPECT_EQ(int(key.step), int(DismissalStep::DefaultProcessing)) << flags;

        const DismissalDecision cursor = decideDismissal(input(WM_SETCURSOR));
        EXPECT_EQ(cursor.hideCursor, watching && !checking) << flags;
        EXPECT_EQ(int(cursor.step), int(watching && !checking ? DismissalStep::Return : DismissalStep::DefaultProcessing))
            << flags;

        const DismissalDecision close = decideDismissal(input(WM_CLOSE));
        EXPECT_FALSE(close.postClose) << flags;
        EXPECT_EQ(int(close.step),
                  int(watching && win9x ? DismissalStep::CheckPassword : DismissalStep::DefaultProcessing))
            << flags;

        const DismissalDecision verify = decideDismissal(input(verifyPasswordMessage));
        DismissalStep step = DismissalStep::DefaultProcessing;
        if (watching && win9x) step = verifier ? DismissalStep::RunVerifier : DismissalStep::Return;
        EXPECT_EQ(int(verify.step), int(step)) << flags;
        if (step == DismissalStep::Return) {
            EXPECT_EQ(verify.result, 1) << flags;
        }

        // The autoplay query closes in every mode and state.
        const DismissalDecision autoplay = decideDismissal(input(AUTOPLAY));
        EXPECT_TRUE(autoplay.postClose) << flags;
        EXPECT_EQ(int(autoplay.step), int(DismissalStep::Return)) << flags;
        EXPECT_EQ(autoplay.result, verifier ? 1 : 0) << flags;
    }
}

}  // namespace
