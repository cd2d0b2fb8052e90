#pragma once
// One bitmap resource of the program as an RGBA pixel buffer, and the OpenGL texture
// object made from that buffer the first time it is drawn with (RenderContext::bindTexture).
#include <cstdint>
#include <memory>

#include "platform/handles.h"

struct Texture {
    bool loaded = false;   // pixels holds the image
    bool created = false;  // the OpenGL texture object exists and glName is valid
    unsigned int glName = 0;
    std::int32_t width = 0;   // a power of two, 8..1024
    std::int32_t height = 0;  // a power of two, 8..1024
    // width x height x 4 bytes: R, G, B, A per pixel, rows from the bottom of the image up.
    std::unique_ptr<std::uint8_t[]> pixels;

    Texture() = default;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
    ~Texture();

    // Reads bitmap resource resourceId (low 16 bits) of the module into pixels: the
    // top-left corner of the bitmap, sized down to powers of two, bottom row first,
    // alpha 255. A bitmap that cannot be read leaves the texture unloaded.
    void loadFromBitmap(InstanceHandle instance, int resourceId);
};

// The largest power of two not above n, clamped to 8..1024.
int roundTextureSize(int n);
