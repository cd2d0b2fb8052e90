// The OpenGL binding on Windows: the pixel format through ChoosePixelFormat and
// SetPixelFormat, the rendering context through WGL, SwapBuffers, and a message box for
// failures.
#include <windows.h>

#include <cstddef>
#include <cstring>

#include "platform/gl_binding.h"

namespace {

static_assert(sizeof(PixelFormatRequest) == sizeof(PIXELFORMATDESCRIPTOR));
static_assert(offsetof(PixelFormatRequest, cColorBits) == offsetof(PIXELFORMATDESCRIPTOR, cColorBits));
static_assert(offsetof(PixelFormatRequest, cDepthBits) == offsetof(PIXELFORMATDESCRIPTOR, cDepthBits));
static_assert(offsetof(PixelFormatRequest, iLayerType) == offsetof(PIXELFORMATDESCRIPTOR, iLayerType));
static_assert(offsetof(PixelFormatRequest, dwDamageMask) == offsetof(PIXELFORMATDESCRIPTOR, dwDamageMask));
static_assert(PIXEL_FORMAT_DOUBLEBUFFER == PFD_DOUBLEBUFFER);
static_assert(PIXEL_FORMAT_DRAW_TO_WINDOW == PFD_DRAW_TO_WINDOW);
static_assert(PIXEL_FORMAT_SUPPORT_OPENGL == PFD_SUPPORT_OPENGL);

PIXELFORMATDESCRIPTOR descriptorOf(const PixelFormatRequest& request) {
    PIXELFORMATDESCRIPTOR descriptor;
    std::memcpy(&descriptor, &request, sizeof descriptor);
    return descriptor;
}

}  // namespace

int choosePixelFormat(DeviceContext dc, const PixelFormatRequest& request) {
    const PIXELFORMATDESCRIPTOR descriptor = descriptorOf(request);
    return ChoosePixelFormat(static_cast<HDC>(dc), &descriptor);
}

bool setPixelFormat(DeviceContext dc, int format, const PixelFormatRequest& request) {
    const PIXELFORMATDESCRIPTOR descriptor = descriptorOf(request);
    return SetPixelFormat(static_cast<HDC>(dc), format, &descriptor) != FALSE;
}

GlContextHandle createGlContext(DeviceContext dc, int, int) { return wglCreateContext(static_cast<HDC>(dc)); }

bool makeCurrent(DeviceContext dc, GlContextHandle context) {
    return wglMakeCurrent(static_cast<HDC>(dc), static_cast<HGLRC>(context)) != FALSE;
}

void deleteGlContext(GlContextHandle context) { wglDeleteContext(static_cast<HGLRC>(context)); }

bool swapBuffers(DeviceContext dc) { return SwapBuffers(static_cast<HDC>(dc)) != FALSE; }

void showErrorBox(const char* text, const char* caption) { MessageBoxA(nullptr, text, caption, MB_OK); }

// One surface, one view.
int frameViewCount(DeviceContext) { return 1; }

bool selectFrameView(DeviceContext, int view) { return view == 0; }
