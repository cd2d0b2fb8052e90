#include "shell/shell_state.h"

std::int32_t isWin9x = 0;
std::int32_t previewMode = 0;
std::int32_t closeApproved = 0;
CursorPos lastCursorPos = {0, 0};
std::uint32_t queryCancelAutoPlayMessage = 0;
ModuleHandle immLibrary = nullptr;
ImmAssociateContextFn immAssociateContextFn = nullptr;
void* savedInputContext = nullptr;
