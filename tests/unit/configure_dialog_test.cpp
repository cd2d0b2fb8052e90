// The configure dialog end to end on the headless platform: what it shows, what OK
// writes, what Cancel and the close button keep, and a write that fails.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include "platform/headless/headless.h"
#include "saver/saver_state.h"
#include "shell/saver_main.h"
#include "shell_test_support.h"

namespace {

using ConfigureDialog = SaverChainTest;

constexpr HeadlessDialogStep OK = {HeadlessDialogAction::Click, 1};
constexpr HeadlessDialogStep CANCEL = {HeadlessDialogAction::Click, 2};
constexpr HeadlessDialogStep CLOSE = {HeadlessDialogAction::Close, 0};
constexpr HeadlessDialogStep TOGGLE = {HeadlessDialogAction::Click, 1000};

int runDialog(std::initializer_list<HeadlessDialogStep> steps) {
    headlessScriptDialog(steps.begin(), int(steps.size()));
    return saverMain(nullptr, "/c");
}

TEST_F(ConfigureDialog, OkWithoutAFileCreatesLowZero) {
    EXPECT_EQ(runDialog({OK}), 0);
    EXPECT_EQ(headlessDialogRecord().checkAtInit, 0u);
    EXPECT_EQ(readSettings(), "[param]\nlow=0\n");
}

TEST_F(ConfigureDialog, TheBoxShowsBitZeroAndOkRewritesIt) {
    const struct {
        const char* stored;
        std::uint32_t shown;
        const char* written;
    } cases[] = {
        {"[param]\nlow=1\n", 1, "[param]\nlow=1\n"},
        {"[param]\nlow=2\n", 0, "[param]\nlow=0\n"},
        {"[param]\nlow=3\n", 1, "[param]\nlow=1\n"},
        {"[PARAM]\r\nLOW = 3\r\n", 1, "[PARAM]\r\nlow=1\r\n"},
        {"; mine\n[other]\nlow=1\n[param]\nlow=0\nkeep=me", 0, "; mine\n[other]\nlow=1\n[param]\nlow=0\nkeep=me"},
    };
    for (const auto& c : cases) {
        writeSettings(c.stored);
        EXPECT_EQ(runDialog({OK}), 0) << c.stored;
        EXPECT_EQ(headlessDialogRecord().checkAtInit, c.shown) << c.stored;
        EXPECT_EQ(readSettings(), c.written) << c.stored;
    }
}

TEST_F(ConfigureDialog, TogglingTheBoxAndOkStoresTheNewState) {
    writeSettings("[param]\nlow=0\n");
    EXPECT_EQ(runDialog({TOGGLE, OK}), 0);
    EXPECT_EQ(readSettings(), "[param]\nlow=1\n");
    EXPECT_EQ(lowDetail, 1);
    EXPECT_EQ(runDialog({TOGGLE, TOGGLE, TOGGLE, OK}), 0);
    EXPECT_EQ(readSettings(), "[param]\nlow=0\n");
    EXPECT_EQ(lowDetail, 0);
}

TEST_F(ConfigureDialog, CancelAndCloseLeaveTheFileByteForByte) {
    const std::string stored = "[param]\r\nlow=3\r\n; note\r\n[x]\r\ny=1";
    writeSettings(stored);
    EXPECT_EQ(runDialog({TOGGLE, CANCEL}), 0);
    EXPECT_EQ(readSettings(), stored);
    EXPECT_EQ(runDialog({TOGGLE, CLOSE}), 0);
    EXPECT_EQ(readSettings(), stored);
    EXPECT_TRUE(headlessDialogRecord().ended);
    // And no file appears when there was none.
    std::remove(settingsPath().c_str());
    EXPECT_EQ(runDialog({CANCEL}), 0);
    EXPECT_FALSE(settingsExist());
}

TEST_F(ConfigureDialog, OnlyTheWholeCommandWordCounts) {
    writeSettings("[param]\nlow=0\n");
    // A notification code in the high half is not OK: the dialog stays open until Cancel.
    EXPECT_EQ(runDialog({TOGGLE, {HeadlessDialogAction::Command, 0x00010001}, CANCEL}), 0);
    EXPECT_EQ(readSettings(), "[param]\nlow=0\n");
}

// Mend: a failed write is reported, and the old file is kept; the dialog still ends
// with 0. The write is made to fail by a file-size limit, which holds even for root.
TEST_F(ConfigureDialog, AFailedWriteIsReportedAndKeepsTheOldFile) {
    const std::string stored = "[param]\nlow=0\n";
    writeSettings(stored);
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction previous = {};
    sigaction(SIGXFSZ, &ignore, &previous);
    rlimit old = {};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 4;
    setrlimit(RLIMIT_FSIZE, &tiny);
    const int result = runDialog({TOGGLE, OK});
    setrlimit(RLIMIT_FSIZE, &old);
    sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(readSettings(), stored);
    EXPECT_EQ(headlessMessageBoxCount(), 1);
    EXPECT_NE(std::string(headlessLastMessageBoxText()).find(settingsPath()), std::string::npos)
        << headlessLastMessageBoxText();
}

}  // namespace
