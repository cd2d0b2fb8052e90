#include "gfx/render_device.h"

bool RenderDevice::setupDevice(DeviceContext dc, int width, int height, int colorDepth) {
    context.createContext(dc, width, height, colorDepth);
    return true;
}

bool RenderDevice::setBackground(float r, float g, float b, float a) {
    background = {r, g, b, a};
    return true;
}
