#include "bmp_writer.h"

constexpr std::uint32_t FILE_HEADER_BYTES = 14;
constexpr std::uint32_t INFO_HEADER_BYTES = 40;
constexpr std::uint32_t PIXELS_PER_METRE = 2835;  // 72 dpi

std::uint32_t bitmapRowStride(int width, int bitsPerPixel)
{
    const std::uint32_t bits = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(bitsPerPixel);
    return (bits + 31u) / 32u * 4u;
}

void putBitmapInfoHeader(ByteBuffer& out, int width, int height, int bitsPerPixel,
                         std::uint32_t imageBytes, std::uint32_t paletteEntries)
{
    putU32(out, INFO_HEADER_BYTES);
    putU32(out, static_cast<std::uint32_t>(width));
    putU32(out, static_cast<std::uint32_t>(height));  // positive: rows stored bottom-up
    putU16(out, 1);                                   // planes
    putU16(out, static_cast<unsigned>(bitsPerPixel));
    putU32(out, 0);                                   // BI_RGB, uncompressed
    putU32(out, imageBytes);
    putU32(out, PIXELS_PER_METRE);
    putU32(out, PIXELS_PER_METRE);
    putU32(out, paletteEntries);                      // colours used
    putU32(out, 0);                                   // all colours important
}

ByteBuffer encodeBmp24(const RgbImage& image)
{
    const std::uint32_t stride = bitmapRowStride(image.width, 24);
    const std::uint32_t imageBytes = stride * static_cast<std::uint32_t>(image.height);
    const std::uint32_t offset = FILE_HEADER_BYTES + INFO_HEADER_BYTES;

    ByteBuffer out;
    out.reserve(offset + imageBytes);
    putU8(out, 'B');
    putU8(out, 'M');
    putU32(out, offset + imageBytes);
    putU32(out, 0);  // two reserved words
    putU32(out, offset);
    putBitmapInfoHeader(out, image.width, image.height, 24, imageBytes, 0);

    const std::size_t padding = stride - static_cast<std::uint32_t>(image.width) * 3u;
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const RgbColor& c = image.at(x, y);
            putU8(out, toByte(c.b));
            putU8(out, toByte(c.g));
            putU8(out, toByte(c.r));
        }
        putZeros(out, padding);
    }
    return out;
}
