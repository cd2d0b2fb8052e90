// OpenGL on an X window through GLX. Pixel formats are the screen's visuals, numbered
// from 1 in the order the server lists them; the usable ones are RGBA visuals that GLX
// can draw into at the main level. Xlib fixes a window's visual when the window is made,
// so the window code asks here first (x11ChooseWindowVisual) and makes each window with
// the visual of the format closest to the screen's depth; setPixelFormat then accepts
// that format, which is the one the program's own request picks, and no other.
//
// Without the GLX extension no format is found, the graphics device reports it, and the
// window stays black: the OpenGL calls have no current context and do nothing.
#include <GL/glx.h>
#include <X11/Xutil.h>

#include <cstdio>

#include "platform/gl_binding.h"
#include "platform/posix/heap_tuning.h"
#include "platform/common/pixel_format_choice.h"
#include "platform/posix/process.h"
#include "platform/x11/display.h"

namespace {

constexpr int FORMAT_CAPACITY = 512;

XVisualInfo visuals[FORMAT_CAPACITY];
PixelFormatCandidate formats[FORMAT_CAPACITY];
int formatCount = 0;
bool formatsListed = false;

int glxValue(Display* display, XVisualInfo& info, int attribute) {
    int value = 0;
    return glXGetConfig(display, &info, attribute, &value) == 0 ? value : 0;
}

// Lists the screen's visuals with their GLX properties, once. Nothing without GLX.
void listFormats(Display* display, int screen) {
    if (formatsListed) return;
    formatsListed = true;
    int errorBase = 0;
    int eventBase = 0;
    if (!glXQueryExtension(display, &errorBase, &eventBase)) return;
    XVisualInfo wanted{};
    wanted.screen = screen;
    int count = 0;
    XVisualInfo* listed = XGetVisualInfo(display, VisualScreenMask, &wanted, &count);
    for (int i = 0; i < count && formatCount < FORMAT_CAPACITY; ++i) {
        XVisualInfo& info = visuals[formatCount];
        PixelFormatCandidate& f = formats[formatCount++];
        info = listed[i];
        f = PixelFormatCandidate{};
        const bool colourClass = info.c_class == TrueColor || info.c_class == DirectColor;
        f.usable = colourClass && glxValue(display, info, GLX_USE_GL) != 0 && glxValue(display, info, GLX_RGBA) != 0 &&
                   glxValue(display, info, GLX_LEVEL) == 0;
        f.doubleBuffered = glxValue(display, info, GLX_DOUBLEBUFFER) != 0;
        f.slow = glxValue(display, info, GLX_VISUAL_CAVEAT_EXT) == GLX_SLOW_VISUAL_EXT;
        f.redBits = glxValue(display, info, GLX_RED_SIZE);
        f.greenBits = glxValue(display, info, GLX_GREEN_SIZE);
        f.blueBits = glxValue(display, info, GLX_BLUE_SIZE);
        f.alphaBits = glxValue(display, info, GLX_ALPHA_SIZE);
        f.depthBits = glxValue(display, info, GLX_DEPTH_SIZE);
        f.stencilBits = glxValue(display, info, GLX_STENCIL_SIZE);
        f.accumBits = glxValue(display, info, GLX_ACCUM_RED_SIZE);
    }
    XFree(listed);
}

// Index (from 1) of the closest format; on a tie the one with the preferred visual.
int closestFormat(const PixelFormatRequest& request, VisualID preferred) {
    int preferredFormat = 0;
    for (int i = 0; i < formatCount && preferredFormat == 0; ++i) {
        if (visuals[i].visualid == preferred) preferredFormat = i + 1;
    }
    return closestPixelFormat(formats, formatCount, request, preferredFormat);
}

}  // namespace

bool x11ChooseWindowVisual(Display* display, int screen, Visual*& visual, int& depth) {
    listFormats(display, screen);
    PixelFormatRequest request;
    request.dwFlags = PIXEL_FORMAT_DRAW_TO_WINDOW | PIXEL_FORMAT_SUPPORT_OPENGL | PIXEL_FORMAT_DOUBLEBUFFER;
    request.cColorBits = std::uint8_t(DefaultDepth(display, screen));
    request.cDepthBits = request.cColorBits;
    const int format = closestFormat(request, XVisualIDFromVisual(DefaultVisual(display, screen)));
    if (format == 0) return false;
    visual = visuals[format - 1].visual;
    depth = visuals[format - 1].depth;
    return true;
}

void x11WaitForGl() {
    if (glXGetCurrentContext() != nullptr) glXWaitGL();
}

int choosePixelFormat(DeviceContext dc, const PixelFormatRequest& request) {
    const X11DeviceContext* record = x11DeviceContextOf(dc);
    Display* display = x11DisplayIfOpen();
    if (record == nullptr || display == nullptr) return 0;
    listFormats(display, DefaultScreen(display));
    return closestFormat(request, record->visualId);
}

bool setPixelFormat(DeviceContext dc, int format, const PixelFormatRequest&) {
    X11DeviceContext* record = x11DeviceContextOf(dc);
    if (record == nullptr || format < 1 || format > formatCount) return false;
    if (record->pixelFormat != 0) return record->pixelFormat == format;
    if (!formats[format - 1].usable || visuals[format - 1].visualid != record->visualId) return false;
    record->pixelFormat = format;
    return true;
}

GlContextHandle createGlContext(DeviceContext dc, int, int) {
    const X11DeviceContext* record = x11DeviceContextOf(dc);
    Display* display = x11DisplayIfOpen();
    if (record == nullptr || display == nullptr || record->pixelFormat == 0) return nullptr;
    XVisualInfo& info = visuals[record->pixelFormat - 1];
    keepLargeBlocksOnTheHeap();
    x11BeginErrorTrap();
    GLXContext context = glXCreateContext(display, &info, nullptr, True);
    if (context == nullptr) context = glXCreateContext(display, &info, nullptr, False);
    x11EndErrorTrap();
    return context;
}

bool makeCurrent(DeviceContext dc, GlContextHandle context) {
    Display* display = x11DisplayIfOpen();
    if (display == nullptr || formatCount == 0) return context == nullptr;
    if (context == nullptr) return glXMakeCurrent(display, None, nullptr) == True;
    const X11DeviceContext* record = x11DeviceContextOf(dc);
    if (record == nullptr) return false;
    x11BeginErrorTrap();
    const Bool made = glXMakeCurrent(display, record->window, static_cast<GLXContext>(context));
    return x11EndErrorTrap() == 0 && made == True;
}

void deleteGlContext(GlContextHandle context) {
    Display* display = x11DisplayIfOpen();
    if (context != nullptr && display != nullptr) glXDestroyContext(display, static_cast<GLXContext>(context));
}

// A window whose size changed since the last frame (a host that was resized) gets a
// viewport of its new size for the next frame; the projection stays, stretched to it as
// on a window of any shape.
bool swapBuffers(DeviceContext dc) {
    X11DeviceContext* record = x11DeviceContextOf(dc);
    Display* display = x11DisplayIfOpen();
    if (record == nullptr || display == nullptr || glXGetCurrentContext() == nullptr) return false;
    glXSwapBuffers(display, record->window);
    posixNoteFrameShown();
    const X11Window* window = x11FindWindow(record->window);
    if (window != nullptr && (window->width != record->viewWidth || window->height != record->viewHeight)) {
        glViewport(0, 0, window->width, window->height);
        record->viewWidth = window->width;
        record->viewHeight = window->height;
    }
    return true;
}

void showErrorBox(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}

// One surface, one view.
int frameViewCount(DeviceContext) { return 1; }

bool selectFrameView(DeviceContext, int view) { return view == 0; }
