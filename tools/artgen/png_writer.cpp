#include "png_writer.h"

#include <cstddef>
#include <cstdint>

namespace {
// PNG's numbers are big-endian, unlike the Windows formats of byte_buffer.h.
void putU32BigEndian(ByteBuffer& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) putU8(out, value >> shift);
}

std::uint32_t crc32(const unsigned char* bytes, std::size_t count)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(const ByteBuffer& bytes)
{
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (unsigned char byte : bytes) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    return b << 16 | a;
}

// Length, type, data, and the CRC of type and data.
void putChunk(ByteBuffer& out, const char (&type)[5], const ByteBuffer& data)
{
    putU32BigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putU32BigEndian(out, crc32(out.data() + typeStart, out.size() - typeStart));
}

// A zlib stream of stored deflate blocks, each at most 65535 bytes.
ByteBuffer storedZlib(const ByteBuffer& raw)
{
    constexpr std::size_t BLOCK_LIMIT = 65535;
    ByteBuffer out{0x78, 0x01};  // deflate, 32 KiB window, no dictionary, fastest
    std::size_t at = 0;
    do {
        const std::size_t length = raw.size() - at < BLOCK_LIMIT ? raw.size() - at : BLOCK_LIMIT;
        const bool last = at + length == raw.size();
        putU8(out, last ? 1 : 0);  // BFINAL, BTYPE 00: stored
        putU16(out, static_cast<unsigned>(length));
        putU16(out, static_cast<unsigned>(~length & 0xFFFFu));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    putU32BigEndian(out, adler32(raw));
    return out;
}
}  // namespace

ByteBuffer encodePng(const RgbImage& image)
{
    ByteBuffer header;
    putU32BigEndian(header, static_cast<std::uint32_t>(image.width));
    putU32BigEndian(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits per channel, RGB, deflate, filters, no interlace

    ByteBuffer raw;  // each row: filter type 0 (none), then R, G, B per pixel
    for (int y = 0; y < image.height; ++y) {
        putU8(raw, 0);
        for (int x = 0; x < image.width; ++x) {
            const RgbColor& c = image.at(x, y);
            raw.insert(raw.end(), {toByte(c.r), toByte(c.g), toByte(c.b)});
        }
    }

    ByteBuffer out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", storedZlib(raw));
    putChunk(out, "IEND", ByteBuffer{});
    return out;
}
