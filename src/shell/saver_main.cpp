#include "shell/saver_main.h"

#include "platform/dialogs.h"
#include "platform/instance.h"
#include "platform/messages.h"
#include "platform/resource_ids.h"
#include "platform/system_services.h"
#include "platform/window_system.h"
#include "saver/configure_dialog.h"
#include "shell/command_line.h"
#include "shell/password.h"
#include "shell/saver_window.h"
#include "shell/shell_state.h"

namespace {

WindowHandle windowFromNumber(std::uint32_t number) {
    return reinterpret_cast<WindowHandle>(std::uintptr_t(number));
}

// The owner a mode asked for, or the foreground window when it named none that exists.
WindowHandle ownerOrForeground(std::uint32_t number) {
    WindowHandle owner = windowFromNumber(number);
    if (owner == nullptr || !platformIsWindow(owner)) owner = platformGetForegroundWindow();
    return owner;
}

// A fault that escapes the running mode must not leave the system believing a saver
// still runs.
void crashGuardHandler() { setScreenSaverRunning(0); }

}  // namespace

std::int32_t runPreview(const char* text) {
    WindowHandle parent = windowFromNumber(parseWindowHandle(text));
    if (parent == nullptr || !platformIsWindow(parent)) return -1;
    return runSaverWindow(parent);
}

std::int32_t showConfigureDialog(WindowHandle owner) {
    if (dialogClassHook(instanceHandle) == 0) return 0;
    return std::int32_t(platformDialogBox(instanceHandle, IDD_CONFIGURE, owner, configureDialogProc));
}

std::int32_t saverMain(InstanceHandle instance, const char* argumentText) {
    instanceHandle = instance;
    std::uint32_t platformId = 0;
    isWin9x = platformGetVersion(platformId) && platformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
    platformInstallCrashGuard(crashGuardHandler);

    const ModeSelection selection = selectMode(argumentText, isWin9x != 0);
    switch (selection.mode) {
        case RunMode::Configure:
            return showConfigureDialog(selection.findOwner ? ownerOrForeground(selection.window) : nullptr);
        case RunMode::Saver:
            return runSaverWindow(nullptr);
        case RunMode::Preview:
            return runPreview(selection.rest);
        case RunMode::ChangePassword:
            return runChangePassword(selection.rest);
        case RunMode::Refused:
            return -1;
    }
    return -1;
}

void saverEntry() {
    const char* arguments = isolateArgumentText(platformCommandLine(), platformCharNext);
    platformExitProcess(saverMain(platformModuleHandle(), arguments));
}
