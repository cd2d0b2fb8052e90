// The configure dialog end to end on the headless platform: what it shows, what OK
// writes, what Cancel and the close button keep, and a write that fails.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <vector>

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

// What the box shows for a stored setting, and what the file holds after the clicks:
// OK writes bit 0 of the box's state into the file's own line; Cancel and the close
// button keep the file byte for byte, or keep it missing. Only the whole command word
// counts: a notification code in the high half is not OK.
TEST_F(ConfigureDialog, TheBoxShowsBitZeroAndOnlyOkWritesIt) {
    const HeadlessDialogStep notOk = {HeadlessDialogAction::Command, 0x00010001};
    const char* const crlf = "[param]\r\nlow=3\r\n; note\r\n[x]\r\ny=1";
    const struct {
        const char* stored;  // nullptr: no file
        std::vector<HeadlessDialogStep> steps;
        std::uint32_t shown;
        const char* written;  // nullptr: still no file
        int low;              // the detail mode afterwards; -1: not checked
    } cases[] = {
        {nullptr, {OK}, 0, "[param]\nlow=0\n", 0},
        {nullptr, {CANCEL}, 0, nullptr, -1},
        {"[param]\nlow=2\n", {OK}, 0, "[param]\nlow=0\n", 0},
        {"[param]\r\nlow=3\r\n", {OK}, 1, "[param]\r\nlow=1\r\n", 1},
        {"[param]\nlow=0\n", {TOGGLE, OK}, 0, "[param]\nlow=1\n", 1},
        {"[param]\nlow=1\n", {TOGGLE, TOGGLE, TOGGLE, OK}, 1, "[param]\nlow=0\n", 0},
        {crlf, {TOGGLE, CANCEL}, 1, crlf, -1},
        {crlf, {TOGGLE, CLOSE}, 1, crlf, -1},
        {"[param]\nlow=0\n", {TOGGLE, notOk, CANCEL}, 0, "[param]\nlow=0\n", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.stored ? c.stored : "no file") << ", " << c.steps.size() << " steps");
        std::remove(settingsPath().c_str());
        if (c.stored != nullptr) writeSettings(c.stored);
        headlessScriptDialog(c.steps.data(), int(c.steps.size()));
        EXPECT_EQ(saverMain(nullptr, "/c"), 0);
        EXPECT_EQ(headlessDialogRecord().checkAtInit, c.shown);
        EXPECT_TRUE(headlessDialogRecord().ended);
        EXPECT_EQ(settingsExist(), c.written != nullptr);
        EXPECT_EQ(readSettings(), c.written != nullptr ? c.written : "");
        EXPECT_EQ(c.low >= 0 ? lowDetail : c.low, c.low);
    }
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
    // Nothing is left behind: the settings file is the directory's only entry.
    using std::filesystem::directory_iterator;
    EXPECT_EQ(std::distance(directory_iterator(directory), directory_iterator()), 1);
    EXPECT_EQ(headlessMessageBoxCount(), 1);
    EXPECT_NE(std::string(headlessLastMessageBoxText()).find(settingsPath()), std::string::npos)
        << headlessLastMessageBoxText();
}

}  // namespace
