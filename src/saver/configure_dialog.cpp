#include "saver/configure_dialog.h"

#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/resource_ids.h"
#include "saver/saver_state.h"
#include "saver/settings.h"

namespace {

std::intptr_t onInitDialog(WindowHandle dialog) {
    lowDetail = std::uint8_t(readLowSetting() & 1);
    platformSendDlgItemMessage(dialog, IDC_LOW_DETAIL, BM_SETCHECK, lowDetail ? BST_CHECKED : BST_UNCHECKED, 0);
    return 1;  // the platform gives the focus to the first tab stop
}

// The whole wParam is compared: notification 0 in the high half, the control below.
std::intptr_t onDialogCommand(WindowHandle dialog, WPARAM wParam) {
    if (wParam == WPARAM(IDOK)) {
        // An indeterminate box (2) counts as unchecked.
        const auto state = std::uint8_t(platformSendDlgItemMessage(dialog, IDC_LOW_DETAIL, BM_GETCHECK, 0, 0) & 1);
        lowDetail = state;
        // A failed write has told the user and kept the old file; the dialog ends anyway.
        writeLowSetting(state, dialog);
        platformEndDialog(dialog, 0);
        return 1;
    }
    if (wParam == WPARAM(IDCANCEL)) {
        platformEndDialog(dialog, 0);
        return 1;
    }
    return 0;
}

std::intptr_t onDialogClose(WindowHandle dialog) {
    platformEndDialog(dialog, 0);
    return 1;
}

}  // namespace

std::int32_t dialogClassHook(InstanceHandle) { return 1; }

std::intptr_t configureDialogProc(WindowHandle dialog, std::uint32_t message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return onInitDialog(dialog);
        case WM_COMMAND:
            return onDialogCommand(dialog, wParam);
        case WM_CLOSE:
            return onDialogClose(dialog);
        default:
            return 0;
    }
}
