#pragma once
// The configure dialog (IDD_CONFIGURE): one check box, IDC_LOW_DETAIL, for low detail. OK stores
// its state in the settings file; Cancel and closing leave the file alone. The dialog
// always ends with 0.
#include <cstdint>

#include "platform/handles.h"

// Registers window classes the dialog needs: none. Returns 1, which lets it run.
std::int32_t dialogClassHook(InstanceHandle instance);

// The dialog procedure: 1 when it handled the message.
std::intptr_t configureDialogProc(WindowHandle dialog, std::uint32_t message, WPARAM wParam, LPARAM lParam);
