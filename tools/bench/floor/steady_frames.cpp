#include "steady_frames.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "frame/frame_driver.h"
#include "headless_scene.h"
#include "platform/headless/headless.h"

void runClockedFrame(WindowHandle window, int k) {
    headlessSetTickCount(virtualTick(k, CLOCK_FPS));
    runFrame(window);
}

void runWarmUp(WindowHandle window) {
    int k = 0;
    runClockedFrame(window, k++);
    glFinish();
    sceneTime = STEADY_SCENE_TIME;
    while (k < WARM_UP_FRAMES) {
        runClockedFrame(window, k++);
        glFinish();
    }
}

std::vector<unsigned char> readFramePixels(int width, int height) {
    std::vector<unsigned char> pixels(std::size_t(width) * std::size_t(height) * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

bool parseFrameCount(const char* text, int& count) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > MAX_FRAME_COUNT) {
        return false;
    }
    count = int(value);
    return true;
}
