#include "gfx/texture.h"

#include <GL/gl.h>

#include <cstddef>

#include "platform/bitmap_source.h"

Texture::~Texture() {
    if (created) {
        glDeleteTextures(1, &glName);
    }
}

int roundTextureSize(int n) {
    if (n >= 1024) return 1024;
    if (n >= 512) return 512;
    if (n >= 256) return 256;
    if (n >= 128) return 128;
    if (n >= 64) return 64;
    if (n >= 32) return 32;
    if (n >= 16) return 16;
    return 8;
}

void Texture::loadFromBitmap(InstanceHandle instance, int resourceId) {
    pixels.reset();
    loaded = false;

    BitmapSource source;
    if (!openBitmap(source, instance, resourceId)) {
        return;
    }

    width = roundTextureSize(source.width);
    height = roundTextureSize(source.height);
    pixels = std::make_unique<std::uint8_t[]>(std::size_t(width) * std::size_t(height) * 4);
    loaded = true;

    // Buffer row i is bitmap row height-1-i: the buffer starts at the bottom of the used
    // corner, which is where OpenGL puts texture row t = 0.
    for (int i = 0; i < height; ++i) {
        for (int j = 0; j < width; ++j) {
            std::uint32_t colour = bitmapPoint(source, j, height - 1 - i);
            std::uint8_t* texel = &pixels[(std::size_t(i) * std::size_t(width) + std::size_t(j)) * 4];
            texel[0] = std::uint8_t(colour & 0xFF);
            texel[1] = std::uint8_t((colour >> 8) & 0xFF);
            texel[2] = std::uint8_t((colour >> 16) & 0xFF);
            texel[3] = 255;
        }
    }

    closeBitmap(source);
}
