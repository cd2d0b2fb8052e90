// orvel-floor-glx: the least an X11 program does to show a first OpenGL frame, as the
// floor for the X11 program's start-up (orvel-bench --x11): the display, a double-
// buffered visual with a depth buffer, a window over the whole screen, a GLX context
// made current, the window mapped, one cleared frame swapped, and the end. Exits with 0,
// or 1 and a line on standard error.
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "orvel-floor-glx: no X display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, None};
    XVisualInfo* visual = glXChooseVisual(display, screen, attributes);
    if (visual == nullptr) {
        std::fprintf(stderr, "orvel-floor-glx: no double-buffered RGBA visual with a depth buffer\n");
        return 1;
    }
    const Window root = RootWindow(display, screen);
    XSetWindowAttributes settings{};
    settings.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    settings.override_redirect = True;
    const Window window =
        XCreateWindow(display, root, 0, 0, unsigned(DisplayWidth(display, screen)),
                      unsigned(DisplayHeight(display, screen)), 0, visual->depth, InputOutput, visual->visual,
                      CWColormap | CWOverrideRedirect, &settings);
    GLXContext context = glXCreateContext(display, visual, nullptr, True);
    if (context == nullptr || !glXMakeCurrent(display, window, context)) {
        std::fprintf(stderr, "orvel-floor-glx: no GLX context\n");
        return 1;
    }
    XMapRaised(display, window);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glXSwapBuffers(display, window);
    return 0;
}
