// Modal dialogs from the program's templates: DialogBoxParamA, SendDlgItemMessageA and
// EndDialog. The portable dialog procedure has its own type, so the dialog runs with a
// small DLGPROC that hands every message to it. Dialogs are modal and the program runs
// one at a time, so the running one is kept in a plain variable.
#include <windows.h>

#include "platform/dialogs.h"

namespace {

DialogProc runningProcedure = nullptr;

INT_PTR CALLBACK dialogTrampoline(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (runningProcedure == nullptr) return FALSE;
    return runningProcedure(dialog, message, wParam, lParam);
}

}  // namespace

std::intptr_t platformDialogBox(InstanceHandle instance, int resourceId, WindowHandle owner, DialogProc procedure) {
    DialogProc outer = runningProcedure;
    runningProcedure = procedure;
    const INT_PTR result = DialogBoxParamA(static_cast<HINSTANCE>(const_cast<void*>(instance)),
                                           MAKEINTRESOURCEA(resourceId), static_cast<HWND>(owner),
                                           dialogTrampoline, 0);
    runningProcedure = outer;
    return result;
}

LRESULT platformSendDlgItemMessage(WindowHandle dialog, int id, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(static_cast<HWND>(dialog), id, message, wParam, lParam);
}

void platformEndDialog(WindowHandle dialog, std::intptr_t result) { EndDialog(static_cast<HWND>(dialog), result); }
