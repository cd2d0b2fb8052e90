#pragma once
// An EGL config as a pixel format for the chooser (pixel_format_choice.h), for both EGL
// bindings. They ask for OpenGL-renderable RGB configs of their surface kind, window or
// pbuffer, and EGL draws both through a back buffer.
#include <EGL/egl.h>

#include "platform/common/pixel_format_choice.h"

PixelFormatCandidate eglConfigFormat(EGLDisplay display, EGLConfig config);
