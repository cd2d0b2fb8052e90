#include "platform/common/egl_config_format.h"

PixelFormatCandidate eglConfigFormat(EGLDisplay display, EGLConfig config) {
    const auto attribute = [&](EGLint name) {
        EGLint value = 0;
        eglGetConfigAttrib(display, config, name, &value);
        return value;
    };
    PixelFormatCandidate format{};
    format.usable = true;
    format.doubleBuffered = true;
    format.slow = attribute(EGL_CONFIG_CAVEAT) == EGL_SLOW_CONFIG;
    format.redBits = attribute(EGL_RED_SIZE);
    format.greenBits = attribute(EGL_GREEN_SIZE);
    format.blueBits = attribute(EGL_BLUE_SIZE);
    format.alphaBits = attribute(EGL_ALPHA_SIZE);
    format.depthBits = attribute(EGL_DEPTH_SIZE);
    format.stencilBits = attribute(EGL_STENCIL_SIZE);
    return format;
}
