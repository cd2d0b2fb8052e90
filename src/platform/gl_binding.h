#pragma once
// The window-system side of OpenGL, as the drawing code needs it: choosing and setting a
// pixel format on a device context, creating a rendering context and making it current,
// showing the back buffer, and reporting a failure to the user. Each platform provides
// these in a file of its own (headless/egl_context.cpp for headless runs on Mesa).
#include <cstdint>

#include "platform/handles.h"

// A rendering context made by createGlContext; owned by whoever asked for it.
using GlContextHandle = void*;

// Flag bits of PixelFormatRequest::dwFlags, with the values Windows gives them.
inline constexpr std::uint32_t PIXEL_FORMAT_DOUBLEBUFFER = 0x01;
inline constexpr std::uint32_t PIXEL_FORMAT_DRAW_TO_WINDOW = 0x04;
inline constexpr std::uint32_t PIXEL_FORMAT_SUPPORT_OPENGL = 0x20;

// A pixel-format request laid out field for field like the Windows PIXELFORMATDESCRIPTOR,
// so a Windows binding can hand it over unchanged. Every field not set is 0.
struct PixelFormatRequest {
    std::uint16_t nSize = 40;
    std::uint16_t nVersion = 1;
    std::uint32_t dwFlags = 0;
    std::uint8_t iPixelType = 0;  // 0: RGBA
    std::uint8_t cColorBits = 0;
    std::uint8_t cRedBits = 0;
    std::uint8_t cRedShift = 0;
    std::uint8_t cGreenBits = 0;
    std::uint8_t cGreenShift = 0;
    std::uint8_t cBlueBits = 0;
    std::uint8_t cBlueShift = 0;
    std::uint8_t cAlphaBits = 0;
    std::uint8_t cAlphaShift = 0;
    std::uint8_t cAccumBits = 0;
    std::uint8_t cAccumRedBits = 0;
    std::uint8_t cAccumGreenBits = 0;
    std::uint8_t cAccumBlueBits = 0;
    std::uint8_t cAccumAlphaBits = 0;
    std::uint8_t cDepthBits = 0;
    std::uint8_t cStencilBits = 0;
    std::uint8_t cAuxBuffers = 0;
    std::uint8_t iLayerType = 0;  // 0: main plane
    std::uint8_t bReserved = 0;
    std::uint32_t dwLayerMask = 0;
    std::uint32_t dwVisibleMask = 0;
    std::uint32_t dwDamageMask = 0;
};
static_assert(sizeof(PixelFormatRequest) == 40, "must match PIXELFORMATDESCRIPTOR");

// Index (from 1) of the supported format closest to the request, or 0 when there is none.
int choosePixelFormat(DeviceContext dc, const PixelFormatRequest& request);

// Gives the device context that pixel format; false on failure (for example when the
// surface already has another format: a format can be set only once).
bool setPixelFormat(DeviceContext dc, int format, const PixelFormatRequest& request);

// A new rendering context for the device context, or null. Width and height are the
// client-area size; a headless binding makes an off-screen surface of that size.
GlContextHandle createGlContext(DeviceContext dc, int width, int height);

// Makes the context current on the calling thread with the device context; two nulls
// make no context current.
bool makeCurrent(DeviceContext dc, GlContextHandle context);

void deleteGlContext(GlContextHandle context);

// Shows the back buffer of the device context's surface: of each of its views.
bool swapBuffers(DeviceContext dc);

// The views the frame being drawn goes to: 1, but on a window whose one picture spans
// several surfaces (the Wayland saver's, one surface an output). Each drawing of the frame
// is made on each view in turn, view 0 first, with the view selected: its surface current
// and its part of the picture in the viewport. False when the view cannot be drawn on
// (its surface went during the frame): that drawing is left out there.
int frameViewCount(DeviceContext dc);
bool selectFrameView(DeviceContext dc, int view);

// A modal message without owner (on Windows) or a line "caption: text" on standard error.
void showErrorBox(const char* text, const char* caption);
