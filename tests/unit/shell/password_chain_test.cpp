// The password hooks of the Windows 95 family, end to end on the headless platform with
// a scripted registry and a fake PASSWORD.CPL whose answers and timing each test sets.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/window_system.h"
#include "shell/password.h"
#include "shell/saver_main.h"
#include "shell/shell_state.h"
#include "shell/window_procs.h"
#include "shell_test_support.h"

namespace {

// What the fake verifier does on each call, and what it saw.
struct VerifierScript {
    std::vector<int> answers;        // one per call; calls beyond the list answer 1
    std::uint32_t takesMs = 50;      // how long the password dialog stays up
    bool closeWhileChecking = false;  // post a close to the window and pump it
    int calls = 0;
    std::vector<std::uint32_t> endTicks;
    bool runningStateSeen = true;
};
VerifierScript script;

std::int32_t fakeVerifier(WindowHandle window) {
    const int call = script.calls++;
    script.runningStateSeen = script.runningStateSeen && headlessScreenSaverRunning();
    if (script.closeWhileChecking) {
        // The dialog's own loop delivers a close meant for the saver.
        platformPostMessage(window, WM_CLOSE, 0, 0);
        QueuedMessage message;
        while (platformPeekMessage(message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) platformDispatchMessage(message);
    }
    headlessAdvanceTickCount(script.takesMs);
    script.endTicks.push_back(platformTickCount());
    return call < int(script.answers.size()) ? script.answers[std::size_t(call)] : 1;
}

std::uint32_t fakeChangeProvider = 0;
WindowHandle changeOwner = nullptr;
std::uint32_t fakeChangePassword(const char* provider, WindowHandle owner, std::uint32_t, void*) {
    ++fakeChangeProvider;
    EXPECT_STREQ(provider, "SCRSAVE");
    changeOwner = owner;
    return 0;
}

const HeadlessEntryPoint VERIFIER[] = {{"VerifyScreenSavePwd", reinterpret_cast<ProcAddress>(fakeVerifier)}};

class PasswordChain : public SaverChainTest {
protected:
    void SetUp() override {
        SaverChainTest::SetUp();
        script = VerifierScript{};
        headlessSetPlatformId(1);
    }

    static void requirePassword(const void* value, std::uint32_t size) {
        headlessSetRegistryValue("Control Panel\\Desktop", "ScreenSaveUsePassword", value, size);
    }
    static void requirePassword() {
        const std::uint32_t one = 1;
        requirePassword(&one, 4);
        headlessAddLibrary("PASSWORD.CPL", VERIFIER, 1);
    }
    // A window whose procedure is the shell's default one, on the Windows 95 family with
    // the fake verifier in place, which refuses the first password.
    static WindowHandle checkingWindow() {
        EXPECT_TRUE(platformRegisterClass({"Plain", 0, defaultSaverProc, nullptr, 0, true}));
        isWin9x = 1;
        verifyPasswordFn = fakeVerifier;
        script.answers = {0};
        return platformCreateWindow({0, "Plain", "", 0, 0, 0, 10, 10, nullptr, nullptr});
    }
};

// A wrong answer keeps the saver running and a right one ends it. Each key asks again,
// except within 200 ms of the end of the last check or while a check runs (a close that
// the password dialog's own loop delivers); the tick count may wrap between checks.
TEST_F(PasswordChain, AWrongAnswerKeepsTheSaverRunningUntilTheNextCheck) {
    const struct {
        std::uint32_t start;
        std::vector<std::uint32_t> keys;  // the last one brings the second, right answer
        bool closeWhileChecking;
    } cases[] = {
        {1000, {1100, 1600}, false},
        {1000, {1100, 1330, 1400}, false},  // the first check runs from about 1100 to 1150
        {1000, {1100, 1500}, true},
        {0xFFFFFF00u, {0xFFFFFF10u, 0x100}, false},  // about 450 ms later, past 2^32
    };
    for (const auto& c : cases) {
        SetUp();
        requirePassword();
        script.answers = {0, 1};
        script.closeWhileChecking = c.closeWhileChecking;
        headlessSetTickCount(c.start);
        for (std::uint32_t tick : c.keys) headlessQueueInput(tick, WM_KEYDOWN, VK_A, 0);
        EXPECT_EQ(saverMain(nullptr, "/s"), 0);
        ASSERT_EQ(script.calls, 2) << c.keys[1];
        // Frames went on until the last key, which the second check followed at once.
        EXPECT_LT(script.endTicks[1] - c.keys.back(), 100u) << c.keys[1];
        EXPECT_GE(headlessPaintCount(), int(c.keys.back() - c.keys[0]) / 15);
        TearDown();
    }
}

TEST_F(PasswordChain, ARefusedCloseHidesTheCursorAgainAndResetsTheReference) {
    WindowHandle window = checkingWindow();
    ASSERT_NE(window, nullptr);
    headlessSetCursorPos({7, 9});
    const int hidden = headlessHideCursorCount();
    EXPECT_EQ(platformSendMessage(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(script.calls, 1);
    EXPECT_EQ(headlessHideCursorCount(), hidden + 1);
    EXPECT_EQ(std::pair(lastCursorPos.x, lastCursorPos.y), std::pair(7, 9));
    EXPECT_TRUE(platformIsWindow(window));
}

TEST_F(PasswordChain, TwoPendingTicksAreTakenOffTheQueueBeforeTheCheck) {
    WindowHandle window = checkingWindow();
    ASSERT_NE(window, nullptr);
    for (WPARAM id : {1, 2, 3}) platformPostMessage(window, WM_TIMER, id, 0);
    platformSendMessage(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(script.calls, 1);
    QueuedMessage left;
    ASSERT_TRUE(platformPeekMessage(left, window, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(left.wParam, 3u);
    EXPECT_FALSE(platformPeekMessage(left, window, WM_TIMER, WM_TIMER, PM_REMOVE));
}

// What another window of the process sees while the saver runs: the libraries it holds.
int librariesHeldWhileRunning = -1;
LRESULT probeProc(WindowHandle, std::uint32_t message, WPARAM, LPARAM) {
    if (message == WM_APP + 1) librariesHeldWhileRunning = headlessLibrariesLoaded();
    return 0;
}

// The verifier library is held for the run and released at its end; a library without
// the verifier is let go at once. The saver-running state is on exactly while the
// verifier is there. Without a verifier the first key ends the saver.
TEST_F(PasswordChain, TheVerifierIsHeldOnlyWhileTheSaverRuns) {
    const struct {
        const char* library;  // nullptr: none
        const HeadlessEntryPoint* entries;
        int calls;
        int stateChanges;
    } cases[] = {{nullptr, nullptr, 0, 0}, {"password.cpl", nullptr, 0, 0}, {"PASSWORD.CPL", VERIFIER, 1, 2}};
    for (const auto& c : cases) {
        SetUp();
        const std::uint32_t one = 1;
        requirePassword(&one, 4);
        if (c.library != nullptr) headlessAddLibrary(c.library, c.entries, c.entries != nullptr ? 1 : 0);
        headlessQueueInput(1100, WM_KEYDOWN, VK_A, 0);
        ASSERT_TRUE(platformRegisterClass({"Probe", 0, probeProc, nullptr, 0, true}));
        platformPostMessage(platformCreateWindow({0, "Probe", "", 0, 0, 0, 1, 1, nullptr, nullptr}), WM_APP + 1, 0, 0);
        EXPECT_EQ(saverMain(nullptr, "/s"), 0);
        EXPECT_EQ(librariesHeldWhileRunning, c.entries != nullptr ? 1 : 0);
        EXPECT_LE(platformTickCount(), 1170u);
        EXPECT_EQ(script.calls, c.calls);
        EXPECT_TRUE(script.runningStateSeen);
        EXPECT_FALSE(headlessScreenSaverRunning());
        EXPECT_EQ(headlessSystemParameterCalls(), c.stateChanges);
        EXPECT_EQ(std::tuple(headlessLibraryLoadCount(), headlessLibrariesLoaded(), headlessRegistryKeysOpen()),
                  std::tuple(1, 0, 0));
        TearDown();
    }
}

// Mend: only the bytes the registry returns decide; a short value leaves no stale bytes.
TEST_F(PasswordChain, OnlyTheBytesOfTheStoredValueDecide) {
    const struct {
        std::vector<unsigned char> bytes;
        bool required;
    } cases[] = {
        {{0x01}, true},  {{0x00}, false},           {{0x00, 0x00, 0x00}, false},
        {{0x00, 0x01}, true}, {{0, 0, 0, 0}, false}, {{0, 0, 0, 0, 1}, false},  // 5 bytes: the read fails
    };
    for (const auto& c : cases) {
        SetUp();
        requirePassword(c.bytes.data(), std::uint32_t(c.bytes.size()));
        headlessAddLibrary("PASSWORD.CPL", VERIFIER, 1);
        headlessQueueInput(1100, WM_KEYDOWN, VK_A, 0);
        EXPECT_EQ(saverMain(nullptr, "/s"), 0);
        EXPECT_EQ(script.calls, c.required ? 1 : 0) << c.bytes.size() << " bytes";
        TearDown();
    }
}

TEST_F(PasswordChain, TheAutoplayQueryClosesTheSaver) {
    const std::uint32_t autoplay = platformRegisterWindowMessage("QueryCancelAutoPlay");
    headlessQueueInput(1100, autoplay, 0, 0);
    EXPECT_EQ(saverMain(nullptr, "/s"), 0);
    EXPECT_LE(platformTickCount(), 1120u);
    EXPECT_EQ(queryCancelAutoPlayMessage, autoplay);
}

TEST_F(PasswordChain, OtherPlatformsNeverTouchTheRegistryOrTheLibraries) {
    requirePassword();
    headlessSetPlatformId(2);
    headlessQueueInput(1100, WM_KEYDOWN, VK_A, 0);
    EXPECT_EQ(saverMain(nullptr, "/s"), 0);
    EXPECT_EQ(saverMain(nullptr, "/a"), -1);
    headlessFailVersionQuery();
    EXPECT_EQ(saverMain(nullptr, "/a"), -1);
    EXPECT_EQ(std::tuple(headlessRegistryOpenCount(), headlessLibraryLoadCount(), headlessSystemParameterCalls(),
                         script.calls, queryCancelAutoPlayMessage),
              std::tuple(0, 0, 0, 0, 0u));
}

TEST_F(PasswordChain, ChangePasswordCallsTheProviderAndReturnsZero) {
    const HeadlessEntryPoint change[] = {{"PwdChangePasswordA", reinterpret_cast<ProcAddress>(fakeChangePassword)}};
    fakeChangeProvider = 0;
    EXPECT_EQ(saverMain(nullptr, "/a 1234"), 0);  // no MPR.DLL: nothing, still 0
    headlessAddLibrary("MPR.DLL", change, 1);
    // The dialog belongs to the window named, or else to the foreground window.
    WindowHandle owner = headlessCreateWindow(10, 10);
    WindowHandle foreground = headlessCreateWindow(10, 10);
    headlessSetForegroundWindow(foreground);
    EXPECT_EQ(saverMain(nullptr, ("/a " + numberOf(owner)).c_str()), 0);
    EXPECT_EQ(changeOwner, owner);
    EXPECT_EQ(saverMain(nullptr, "A 99"), 0);
    EXPECT_EQ(changeOwner, foreground);
    EXPECT_EQ(fakeChangeProvider, 2u);
    EXPECT_EQ(headlessLibrariesLoaded(), 0);
}

}  // namespace
