#include "ico_writer.h"

#include "bmp_writer.h"


namespace {
constexpr std::uint32_t ICON_DIR_BYTES = 6;
constexpr std::uint32_t ICON_ENTRY_BYTES = 16;
constexpr std::uint32_t INFO_HEADER_BYTES = 40;

std::uint32_t colourBytes(const PaletteImage& image)
{
    return bitmapRowStride(image.width, image.bitsPerPixel) * static_cast<std::uint32_t>(image.height);
}

std::uint32_t maskBytes(const PaletteImage& image)
{
    return bitmapRowStride(image.width, 1) * static_cast<std::uint32_t>(image.height);
}

std::uint32_t imageRecordBytes(const PaletteImage& image)
{
    return INFO_HEADER_BYTES + static_cast<std::uint32_t>(image.palette.size()) * 4u + colourBytes(image) +
           maskBytes(image);
}

void putDirectoryEntry(ByteBuffer& out, const PaletteImage& image, std::uint32_t offset)
{
    const std::size_t colours = image.palette.size();
    putU8(out, static_cast<unsigned>(image.width & 0xFF));   // 256 is written as 0
    putU8(out, static_cast<unsigned>(image.height & 0xFF));
    putU8(out, colours >= 256 ? 0u : static_cast<unsigned>(colours));
    putU8(out, 0);  // reserved
    putU16(out, 1);  // planes
    putU16(out, static_cast<unsigned>(image.bitsPerPixel));
    putU32(out, imageRecordBytes(image));
    putU32(out, offset);
}

void putColourRows(ByteBuffer& out, const PaletteImage& image)
{
    const std::uint32_t stride = bitmapRowStride(image.width, image.bitsPerPixel);
    const int perByte = 8 / image.bitsPerPixel;
    for (int y = image.height - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        for (int x = 0; x < image.width; x += perByte) {
            unsigned packed = 0;
            for (int k = 0; k < perByte; ++k) {
                const unsigned index = image.indices[static_cast<std::size_t>(y) * image.width + x + k];
                packed = (packed << image.bitsPerPixel) | index;
            }
            putU8(out, packed);
        }
        putZeros(out, stride - (out.size() - rowStart));
    }
}
}  // namespace

ByteBuffer encodeIco(const std::vector<PaletteImage>& images)
{
    ByteBuffer out;
    putU16(out, 0);  // reserved
    putU16(out, 1);  // resource type: icon
    putU16(out, static_cast<unsigned>(images.size()));

    std::uint32_t offset = ICON_DIR_BYTES + ICON_ENTRY_BYTES * static_cast<std::uint32_t>(images.size());
    for (const PaletteImage& image : images) {
        putDirectoryEntry(out, image, offset);
        offset += imageRecordBytes(image);
    }

    for (const PaletteImage& image : images) {
        // The stored height covers the colour image and the mask below it.
        putBitmapInfoHeader(out, image.width, image.height * 2, image.bitsPerPixel,
                            colourBytes(image) + maskBytes(image), 0);
        for (std::uint32_t rgb : image.palette) {
            putU8(out, rgb);        // blue
            putU8(out, rgb >> 8);   // green
            putU8(out, rgb >> 16);  // red
            putU8(out, 0);
        }
        putColourRows(out, image);
        putZeros(out, maskBytes(image));  // AND mask all clear: every pixel opaque
    }
    return out;
}
