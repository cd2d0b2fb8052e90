// The saver window's procedure chain, message by message, on a headless window whose
// scene was never built: what the shell shields, forwards and drops, in full-screen and
// preview mode, before and after the close is approved.
#include <gtest/gtest.h>

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

    LRESULT send(std::uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return shellWindowProc(window, message, wParam, lParam);
    }

    WindowHandle host = nullptr;
    WindowHandle window = nullptr;
};

TEST_F(WindowProcChain, SystemCommandsThatWouldLeaveTheSaverAreDroppedInFullScreenOnly) {
    const struct {
        WPARAM command;
        bool dropped;
    } cases[] = {{SC_NEXTWINDOW, true},     {SC_PREVWINDOW, true}, {SC_SCREENSAVE, true},
                 {SC_SCREENSAVE + 1, false}, {SC_NEXTWINDOW | 0xF, false}, {0xF060, false}};
    for (int preview = 0; preview < 2; ++preview) {
        previewMode = preview;
        for (const auto& c : cases) {
            const int before = headlessDefaultProcessingCount(WM_SYSCOMMAND);
            send(WM_SYSCOMMAND, c.command);
            const bool reachedDefault = headlessDefaultProcessingCount(WM_SYSCOMMAND) == before + 1;
            EXPECT_EQ(reachedDefault, preview || !c.dropped) << std::hex << c.command << " preview " << preview;
        }
    }
}

TEST_F(WindowProcChain, HelpInPreviewGoesToTheHostWithTheHostsHandle) {
    previewMode = 1;
    EXPECT_EQ(send(WM_HELP, 0, 1234), 1);
    EXPECT_EQ(send(WM_CONTEXTMENU, 7, 99), 1);
    QueuedMessage message;
    ASSERT_TRUE(platformPeekMessage(message, host, WM_HELP, WM_HELP, PM_REMOVE));
    EXPECT_EQ(message.wParam, reinterpret_cast<WPARAM>(host));
    EXPECT_EQ(message.lParam, 1234);
    ASSERT_TRUE(platformPeekMessage(message, host, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE));
    EXPECT_EQ(message.wParam, reinterpret_cast<WPARAM>(host));
    EXPECT_EQ(message.lParam, 99);
    // In full screen, help takes the ordinary road to default processing.
    previewMode = 0;
    send(WM_HELP, 0, 0);
    EXPECT_EQ(headlessDefaultProcessingCount(WM_HELP), 1);
    EXPECT_FALSE(platformPeekMessage(message, host, WM_HELP, WM_HELP, PM_REMOVE));
}

TEST_F(WindowProcChain, TheTitleNeverChanges) {
    EXPECT_EQ(send(WM_SETTEXT, 0, 0), 0);
    EXPECT_EQ(headlessDefaultProcessingCount(WM_SETTEXT), 0);
}

TEST_F(WindowProcChain, TicksYieldBeforeTheyPassAndAreDroppedOnceTheCloseIsApproved) {
    const std::uint64_t sleeps = headlessSleepCount();
    // A tick of any identifier asks for paint, and nothing else.
    EXPECT_EQ(send(WM_TIMER, 7), 1);
    EXPECT_EQ(headlessSleepCount(), sleeps + 1);
    EXPECT_EQ(headlessLastSleepMs(), 0u);
    QueuedMessage next;
    ASSERT_EQ(platformGetMessage(next), 1);
    EXPECT_EQ(next.message, WM_PAINT);
    EXPECT_EQ(next.window, window);

    closeApproved = 1;
    platformDefWindowProc(window, WM_PAINT, 0, 0);
    EXPECT_EQ(send(WM_TIMER, 1), 0);
    EXPECT_EQ(headlessSleepCount(), sleeps + 1);
    EXPECT_EQ(platformGetMessage(next), -1);  // no paint asked for: nothing would come
}

TEST_F(WindowProcChain, AfterApprovalInputAndPaintGoStraightToDefaultProcessing) {
    closeApproved = 1;
    const int hidden = headlessHideCursorCount();
    for (std::uint32_t message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN,
                                  WM_MBUTTONDOWN, WM_PAINT}) {
        send(message, 1, 0);
        EXPECT_EQ(headlessDefaultProcessingCount(message), 1) << std::hex << message;
    }
    QueuedMessage message;
    EXPECT_FALSE(platformPeekMessage(message, window, WM_CLOSE, WM_CLOSE, 0));  // nothing posted
    EXPECT_EQ(headlessHideCursorCount(), hidden);
}

TEST_F(WindowProcChain, PaintHidesTheCursorInFullScreenOnly) {
    const int hidden = headlessHideCursorCount();
    send(WM_PAINT);
    EXPECT_EQ(headlessHideCursorCount(), hidden + 1);
    previewMode = 1;
    send(WM_PAINT);
    send(WM_SETCURSOR);
    send(WM_SHOWWINDOW, 1);
    EXPECT_EQ(headlessHideCursorCount(), hidden + 1);
}

// The input-method library, when the process has it, is detached at creation and the
// window's own context given back at destruction.
void* associated[2];
int associations = 0;
void* fakeAssociate(WindowHandle, void* context) {
    associated[associations++ % 2] = context;
    return reinterpret_cast<void*>(0x1234);
}

TEST_F(WindowProcChain, InputMethodsAreDetachedWhileTheWindowLives) {
    const HeadlessEntryPoint entries[] = {{"ImmAssociateContext", reinterpret_cast<ProcAddress>(fakeAssociate)}};
    headlessAddLibrary("IMM32.DLL", entries, 1, true);
    associations = 0;
    shellWindowProc(window, WM_CREATE, 0, 0);
    ASSERT_EQ(associations, 1);
    EXPECT_EQ(associated[0], nullptr);
    EXPECT_EQ(savedInputContext, reinterpret_cast<void*>(0x1234));
    shellWindowProc(window, WM_DESTROY, 0, 0);
    ASSERT_EQ(associations, 2);
    EXPECT_EQ(associated[1], reinterpret_cast<void*>(0x1234));
}

TEST_F(WindowProcChain, WithoutTheInputMethodLibraryNothingIsDetached) {
    const HeadlessEntryPoint entries[] = {{"ImmAssociateContext", reinterpret_cast<ProcAddress>(fakeAssociate)}};
    headlessAddLibrary("IMM32.DLL", entries, 1, false);  // present but not loaded
    associations = 0;
    shellWindowProc(window, WM_CREATE, 0, 0);
    shellWindowProc(window, WM_DESTROY, 0, 0);
    EXPECT_EQ(associations, 0);
    EXPECT_EQ(headlessLibraryLoadCount(), 0);  // never loaded on the saver's behalf
}

}  // namespace
