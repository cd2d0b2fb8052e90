// Text output on a window's device context. A Wayland client draws its own pixels and
// the picture is all OpenGL: the frame-rate text is not drawn there.
#include "platform/platform.h"

void platformSetTextColor(DeviceContext, std::uint8_t, std::uint8_t, std::uint8_t) {}

void platformSetBkModeTransparent(DeviceContext) {}

void platformTextOut(DeviceContext, int, int, const char*, int) {}
