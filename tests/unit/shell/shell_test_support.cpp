#include "shell_test_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "frame/scene_globals.h"
#include "platform/common/embedded_resources.h"
#include "platform/headless/headless.h"
#include "shell/password.h"
#include "shell/shell_state.h"

namespace {

void resetShellState() {
    isWin9x = 0;
    previewMode = 0;
    closeApproved = 0;
    lastCursorPos = {0, 0};
    queryCancelAutoPlayMessage = 0;
    immLibrary = nullptr;
    immAssociateContextFn = nullptr;
    savedInputContext = nullptr;
    passwordLibrary = nullptr;
    verifyPasswordFn = nullptr;
    checkingPassword = 0;
    lastPasswordCheckTick = 0xFFFFFFFF;
}

}  // namespace

void SaverChainTest::SetUp() {
    headlessReset();
    resetShellState();
    headlessSetSleepAdvancesClock(true);
    headlessSetScreenRect({0, 0, 64, 48});
    headlessSetModuleHandle(&orvelResources);
    headlessSetTickCount(1000);
    // However a test goes wrong, it ends: no run takes this many messages.
    headlessSetMessageLimit(20000);
    char pattern[] = "/tmp/orvel-shell-XXXXXX";
    const char* made = mkdtemp(pattern);
    ASSERT_NE(made, nullptr);
    directory = made;
    headlessSetSettingsDirectory(directory.c_str());
}

void SaverChainTest::TearDown() {
    // The saver never gives its rendering context back: its process ends instead. A test
    // that runs it again in the same process does.
    renderDevice.context.releaseContext();
    const std::string command = "rm -rf '" + directory + "'";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "cannot remove " << directory;
}

std::string SaverChainTest::settingsPath() const { return directory + "/Orvelconfig.ini"; }

void SaverChainTest::writeSettings(const std::string& text) const {
    std::ofstream(settingsPath(), std::ios::binary) << text;
}

std::string SaverChainTest::readSettings() const {
    std::ifstream in(settingsPath(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool SaverChainTest::settingsExist() const {
    struct stat info;
    return stat(settingsPath().c_str(), &info) == 0;
}

std::string SaverChainTest::numberOf(WindowHandle window) {
    return std::to_string(reinterpret_cast<std::uintptr_t>(window));
}
