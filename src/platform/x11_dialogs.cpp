// Modal dialogs on X11: none yet. The configure dialog says so on standard error and
// fails as a dialog that cannot be created does.
#include <cstdio>

#include "platform/dialogs.h"

std::intptr_t platformDialogBox(InstanceHandle, int, WindowHandle, DialogProc) {
    std::fprintf(stderr, "orvel: the configure dialog is not available in this build yet\n");
    return -1;
}

LRESULT platformSendDlgItemMessage(WindowHandle, int, std::uint32_t, WPARAM, LPARAM) { return 0; }

void platformEndDialog(WindowHandle, std::intptr_t) {}
