#include "shell/password.h"

#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/system_services.h"
#include "platform/window_system.h"
#include "shell/command_line.h"
#include "shell/dismissal.h"
#include "shell/shell_state.h"

ModuleHandle passwordLibrary = nullptr;
VerifyPasswordFn verifyPasswordFn = nullptr;
std::int32_t checkingPassword = 0;
std::uint32_t lastPasswordCheckTick = 0xFFFFFFFF;

namespace {

constexpr std::uint32_t QUIET_PERIOD_MS = 200;
constexpr std::uint32_t NO_CHECK_YET = 0xFFFFFFFF;

// Whether the desktop settings ask for a password. The buffer starts at zero and only
// the bytes the read returns are used, so a short value leaves no stale bytes behind.
bool passwordRequired(RegistryKey key) {
    unsigned char buffer[4] = {0, 0, 0, 0};
    std::uint32_t size = sizeof buffer;
    if (platformRegQueryValue(key, "ScreenSaveUsePassword", buffer, size) != 0) return false;
    std::uint32_t value = 0;
    for (std::uint32_t i = 0; i < size && i < sizeof buffer; ++i) value |= std::uint32_t(buffer[i]) << (8 * i);
    return value != 0;
}

}  // namespace

void setScreenSaverRunning(std::int32_t flag) {
    if (!isWin9x) return;
    std::uint32_t previous = 0;
    platformSystemParametersInfo(SPI_SCREENSAVERRUNNING, std::uint32_t(flag), &previous, 0);
}

void loadPasswordHook() {
    if (!isWin9x) return;
    if (passwordLibrary != nullptr) unloadPasswordHook();
    RegistryKey key = nullptr;
    if (platformRegOpenCurrentUserKey("Control Panel\\Desktop", key) != 0) return;
    if (passwordRequired(key)) {
        if (ModuleHandle library = platformLoadLibrary("PASSWORD.CPL")) {
            passwordLibrary = library;
            verifyPasswordFn =
                reinterpret_cast<VerifyPasswordFn>(platformGetProcAddress(library, "VerifyScreenSavePwd"));
            if (verifyPasswordFn != nullptr) {
                setScreenSaverRunning(1);
            } else {
                unloadPasswordHook();
            }
        }
    }
    platformRegCloseKey(key);
}

void unloadPasswordHook() {
    if (!isWin9x || passwordLibrary == nullptr) return;
    platformFreeLibrary(passwordLibrary);
    passwordLibrary = nullptr;
    if (verifyPasswordFn != nullptr) {
        verifyPasswordFn = nullptr;
        setScreenSaverRunning(0);
    }
}

std::int32_t verifyPassword(WindowHandle window) {
    if (checkingPassword || closeApproved) return 0;
    if (verifyPasswordFn == nullptr) {
        closeApproved = 1;
        return 1;
    }
    // The input that dismissed the password dialog must not open it again.
    const std::uint32_t now = platformTickCount();
    if (lastPasswordCheckTick != NO_CHECK_YET && now - lastPasswordCheckTick < QUIET_PERIOD_MS) return 0;

    checkingPassword = 1;
    QueuedMessage pending;
    platformPeekMessage(pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    platformPeekMessage(pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    const LRESULT result = platformSendMessage(window, verifyPasswordMessage, 0, 0);
    closeApproved = result != 0 ? 1 : 0;
    checkingPassword = 0;
    if (!closeApproved) platformHideCursor();
    lastPasswordCheckTick = platformTickCount();
    return closeApproved;
}

std::int32_t runChangePassword(const char* text) {
    WindowHandle owner = reinterpret_cast<WindowHandle>(std::uintptr_t(parseWindowHandle(text)));
    if (owner == nullptr || !platformIsWindow(owner)) owner = platformGetForegroundWindow();
    changePassword(owner);
    return 0;
}

void changePassword(WindowHandle owner) {
    ModuleHandle library = platformLoadLibrary("MPR.DLL");
    if (library == nullptr) return;
    if (auto change = reinterpret_cast<ChangePasswordFn>(platformGetProcAddress(library, "PwdChangePasswordA"))) {
        change("SCRSAVE", owner, 0, nullptr);
    }
    platformFreeLibrary(library);
}
