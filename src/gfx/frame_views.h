#pragma once
// Drawing on every view of the frame (platform/gl_binding.h): once where the window has
// one surface, as on X11, Windows and in headless runs; on each output's surface in turn
// where its picture spans several (Wayland). The drawing is repeated with the render
// state in force, so every view shows the same picture, and the scene is moved once.
#include "platform/gl_binding.h"

template <typename Draw>
void drawOnEveryView(DeviceContext dc, Draw draw) {
    const int views = frameViewCount(dc);
    if (views <= 1) {
        draw();
        return;
    }
    for (int view = 0; view < views; ++view) {
        if (selectFrameView(dc, view)) draw();
    }
}
