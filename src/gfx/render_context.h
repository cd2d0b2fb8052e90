#pragma once
// The OpenGL rendering context bound to the saver window, the fixed render state it is
// given once, and the small state-setting operations the drawing code shares.
#include <cstdint>

#include "platform/gl_binding.h"
#include "platform/handles.h"

struct Texture;
struct Material;

struct RenderContext {
    DeviceContext deviceContext = nullptr;       // the window's; not owned
    GlContextHandle renderingContext = nullptr;  // owned
    std::int32_t width = 0;                      // client area at creation; the viewport
    std::int32_t height = 0;
    std::int32_t colorDepth = 0;  // bits asked for both the colour and the depth buffer
    bool clearDepth = true;       // clearBuffers also clears the depth buffer

    RenderContext() = default;
    RenderContext(const RenderContext&) = delete;
    RenderContext& operator=(const RenderContext&) = delete;
    ~RenderContext();

    // Pixel format, rendering context made current, fixed state and projection. A failed
    // pixel format is reported in a message box and creation carries on. Returns true.
    bool createContext(DeviceContext dc, int width, int height, int colorDepth);
    // True when a pixel format was chosen and set on the device context.
    bool selectPixelFormat();
    void applyGlobalState();
    void setProjection(int width, int height);
    void releaseContext();

    bool clearBuffers();
    bool present();

    // Binds the texture, making its OpenGL object on first use, or disables texturing
    // when enable is false or the texture holds no image; then sets the filters.
    bool bindTexture(bool enable, Texture* texture, bool smooth);
    bool applyBlendMode(bool enable, int mode);
    bool applyMaterial(const Material& material);
};
