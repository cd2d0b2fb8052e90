#pragma once
// Modal dialogs from the program's templates, with the meaning of the Windows calls.
#include <cstdint>

#include "platform/handles.h"

// DialogBoxParamA: runs dialog template resourceId of instance modally, owned by owner
// (or none), with procedure; returns the EndDialog value, or -1 when the dialog cannot be
// created.
std::intptr_t platformDialogBox(InstanceHandle instance, int resourceId, WindowHandle owner, DialogProc procedure);

// SendDlgItemMessageA to control id of the dialog.
LRESULT platformSendDlgItemMessage(WindowHandle dialog, int id, std::uint32_t message, WPARAM wParam, LPARAM lParam);

// EndDialog: the modal run ends with result once the procedure returns.
void platformEndDialog(WindowHandle dialog, std::intptr_t result);
