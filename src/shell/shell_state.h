#pragma once
// The shell's global state: the platform family, the saver window's mode and close
// state, the cursor reference for the mouse-move rule, the autoplay query's number and
// what was detached from the input-method library.
#include <cstdint>

#include "platform/handles.h"
#include "platform/library_entries.h"
#include "platform/window_system.h"

// 1 on the Windows 95 family, which has the password hooks and the autoplay query.
extern std::int32_t isWin9x;

// 1 once the saver window is a preview child: input no longer ends it.
extern std::int32_t previewMode;
// 1 once the saver may close: input, ticks and paint no longer reach the program.
extern std::int32_t closeApproved;
extern CursorPos lastCursorPos;
extern std::uint32_t queryCancelAutoPlayMessage;

// ImmAssociateContext, taken from the input-method library when it is already loaded.
extern ModuleHandle immLibrary;
extern ImmAssociateContextFn immAssociateContextFn;
extern void* savedInputContext;
