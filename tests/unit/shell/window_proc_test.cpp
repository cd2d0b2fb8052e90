// The saver window's procedure chain, message by message, on a headless window whose
// scene was never built: what the shell shields, forwards and drops, in full-screen and
// preview mode, before and after the close is approved.
#include <gtest/gtest.h>

#include <utility>

#include "platform/headless/headless.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/system_services.h"
#include "platform/window_system.h"
#include "shell/shell_state.h"
#include "shell/window_procs.h"
#include "shell_test_support.h"

namespace {

class WindowProcChain : public SaverChainTest {
protected:
    void SetUp() override {
        SaverChainTest::SetUp();
        // A class whose procedure is the default one, so that no scene is built.
        ASSERT_TRUE(platformRegisterClass({"Plain", 0, defaultSaverProc, nullptr, 0, true}));
        host = headlessCreateWindow(50, 50);
        window = platformCreateWindow({0, "Plain", "", WS_CHILD, 0, 0, 50, 50, host, nullptr});
        ASSERT_NE(window, nullptr);
    }

    WindowHandle host = nullptr;
    WindowHandle window = nullptr;
};

// One message in one mode, and what the chain does with it.
struct Row {
    std::uint32_t message;
    WPARAM wParam;
    bool preview, approved;
    bool defaulted;   // reaches default processing
    bool closes;      // posts a close to the window
    bool hides;       // hides the cursor
    bool ticks;       // yields and asks for paint: the frame timer's tick
    bool forwarded;   // posted to the host, naming the host: help in the preview
    LRESULT result;   // checked when the chain answers itself
};

constexpr bool F = false, T = true;

const Row ROWS[] = {
    // System commands that would leave the saver are dropped in full screen only.
    {WM_SYSCOMMAND, SC_NEXTWINDOW, F, F, F, F, F, F, F, 0},
    {WM_SYSCOMMAND, SC_PREVWINDOW, F, F, F, F, F, F, F, 0},
    {WM_SYSCOMMAND, SC_SCREENSAVE, F, F, F, F, F, F, F, 0},
    {WM_SYSCOMMAND, 0xF060, F, F, T, F, F, F, F, 0},
    {WM_SYSCOMMAND, SC_NEXTWINDOW, T, F, T, F, F, F, F, 0},
    // The title never changes.
    {WM_SETTEXT, 0, F, F, F, F, F, F, F, 0},
    // Help in the preview goes to the host; in full screen, to default processing.
    {WM_HELP, 0, T, F, F, F, F, F, T, 1},
    {WM_CONTEXTMENU, 7, T, F, F, F, F, F, T, 1},
    {WM_HELP, 0, F, F, T, F, F, F, F, 0},
    // A tick of any identifier yields and asks for paint, until the close is approved.
    {WM_TIMER, 7, F, F, F, F, F, T, F, 1},
    {WM_TIMER, 1, F, T, F, F, F, F, F, 0},
    // Paint draws a frame and hides the cursor in full screen only; the preview never
    // touches the cursor.
    {WM_PAINT, 0, F, F, F, F, T, F, F, 0},
    {WM_PAINT, 0, T, F, F, F, F, F, F, 0},
    {WM_SETCURSOR, 0, T, F, T, F, F, F, F, 0},
    {WM_SHOWWINDOW, 1, T, F, T, F, F, F, F, 0},
    // Input closes the full-screen saver; after the approval it and paint go straight
    // to default processing.
    {WM_KEYDOWN, 1, F, F, T, T, F, F, F, 0},
    {WM_KEYDOWN, 1, F, T, T, F, F, F, F, 0},
    {WM_PAINT, 0, F, T, T, F, F, F, F, 0},
};

TEST_F(WindowProcChain, EachMessageInEachMode) {
    for (const Row& r : ROWS) {
        SCOPED_TRACE(testing::Message() << std::hex << "message " << r.message << " wParam " << r.wParam
                                        << " preview " << r.preview << " approved " << r.approved);
        previewMode = r.preview;
        closeApproved = r.approved;
        platformDefWindowProc(window, WM_PAINT, 0, 0);  // no paint pending
        const int defaulted = headlessDefaultProcessingCount(r.message);
        const int hidden = headlessHideCursorCount();
        const std::uint64_t sleeps = headlessSleepCount();
        const LRESULT result = shellWindowProc(window, r.message, r.wParam, 99);
        EXPECT_EQ(headlessDefaultProcessingCount(r.message), defaulted + int(r.defaulted));
        EXPECT_EQ(r.defaulted ? r.result : result, r.result);
        EXPECT_EQ(headlessHideCursorCount(), hidden + int(r.hides));
        // A tick yields at once; paint sleeps out the frame's pace.
        EXPECT_EQ(r.message == WM_TIMER ? headlessSleepCount() - sleeps : r.ticks, r.ticks);
        EXPECT_EQ(r.ticks ? headlessLastSleepMs() : 0u, 0u);

        QueuedMessage message;
        const bool forwarded = platformPeekMessage(message, host, r.message, r.message, PM_REMOVE);
        EXPECT_EQ(forwarded, r.forwarded);
        EXPECT_EQ(forwarded ? message.wParam : reinterpret_cast<WPARAM>(host), reinterpret_cast<WPARAM>(host));
        EXPECT_EQ(forwarded ? message.lParam : 99, 99);
        EXPECT_EQ(platformPeekMessage(message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE), r.closes);
        // Then only the paint a tick asks for is waiting.
        const int got = platformGetMessage(message);
        EXPECT_EQ(got == 1 && message.message == WM_PAINT && message.window == window, r.ticks);
        EXPECT_EQ(got, r.ticks ? 1 : -1);
    }
}

// Creation takes the cursor's position and, in full screen, hides it. The input-method
// library, when the process already has it, is detached at creation and the window's own
// context given back at destruction; it is never loaded on the saver's behalf.
void* associated[2];
int associations = 0;
void* fakeAssociate(WindowHandle, void* context) {
    associated[associations++ % 2] = context;
    return reinterpret_cast<void*>(0x1234);
}

TEST_F(WindowProcChain, CreationTakesTheCursorAndDetachesInputMethodsWhileTheWindowLives) {
    const HeadlessEntryPoint entries[] = {{"ImmAssociateContext", reinterpret_cast<ProcAddress>(fakeAssociate)}};
    for (const bool preloaded : {true, false}) {
        if (!preloaded) {
            TearDown();
            SetUp();
        }
        headlessAddLibrary("IMM32.DLL", entries, 1, preloaded);
        associations = 0;
        previewMode = !preloaded;
        headlessSetCursorPos({7, 9});
        shellWindowProc(window, WM_CREATE, 0, 0);
        EXPECT_EQ(headlessHideCursorCount(), int(preloaded));
        EXPECT_EQ(std::pair(lastCursorPos.x, lastCursorPos.y), std::pair(7, 9));
        shellWindowProc(window, WM_DESTROY, 0, 0);
        EXPECT_EQ(headlessLibraryLoadCount(), 0);
        ASSERT_EQ(associations, preloaded ? 2 : 0);
        if (preloaded) {
            EXPECT_EQ(associated[0], nullptr);
            EXPECT_EQ(associated[1], reinterpret_cast<void*>(0x1234));
        }
    }
}

}  // namespace
