// The .ico format: a directory of images, each a device-independent bitmap without its
// file header whose height counts twice (the colour rows, then a 1-bit transparency mask
// of the same size), both stored bottom row first with rows padded to 4 bytes.
#include "platform/dialog_model/icon_image.h"

namespace {

constexpr std::size_t DIRECTORY_HEADER = 6;
constexpr std::size_t DIRECTORY_ENTRY = 16;
constexpr std::uint32_t INFO_HEADER = 40;
constexpr int MAX_SIDE = 256;

std::uint32_t u16(const unsigned char* p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8; }
std::uint32_t u32(const unsigned char* p) { return u16(p) | u16(p + 2) << 16; }
std::int32_t s32(const unsigned char* p) { return std::int32_t(u32(p)); }

std::size_t rowBytes(int width, int bits) { return ((std::size_t(width) * std::size_t(bits) + 31) / 32) * 4; }

struct Entry {
    std::size_t offset;
    std::size_t size;
};

// The colour index or colour of pixel x in a row of the given depth.
std::uint32_t sample(const unsigned char* row, int x, int bits, const unsigned char* palette, std::uint32_t colours) {
    std::uint32_t index = 0;
    switch (bits) {
        case 1:
            index = (row[x / 8] >> (7 - x % 8)) & 1u;
            break;
        case 4:
            index = (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xFu;
            break;
        case 8:
            index = row[x];
            break;
        case 24: {
            const unsigned char* p = row + 3 * x;
            return 0xFF000000u | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
        }
        default: {  // 32
            const unsigned char* p = row + 4 * x;
            return std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
        }
    }
    if (index >= colours) return 0xFF000000u;
    const unsigned char* p = palette + 4 * index;
    return 0xFF000000u | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

bool decodeEntry(const unsigned char* data, std::size_t size, IconImage& image) {
    if (size < INFO_HEADER) return false;
    const std::uint32_t header = u32(data);
    const std::int32_t width = s32(data + 4);
    const std::int32_t doubledHeight = s32(data + 8);
    const std::uint32_t bits = u16(data + 14);
    const std::uint32_t compression = u32(data + 16);
    std::uint32_t colours = u32(data + 32);
    if (header < INFO_HEADER || header > size || compression != 0) return false;
    if (width <= 0 || width > MAX_SIDE || doubledHeight <= 0 || doubledHeight % 2 != 0 ||
        doubledHeight / 2 > MAX_SIDE) {
        return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    const int height = doubledHeight / 2;
    if (bits <= 8) {
        const std::uint32_t full = 1u << bits;
        if (colours == 0 || colours > full) colours = full;
    } else {
        colours = 0;
    }
    const std::size_t paletteBytes = std::size_t(colours) * 4;
    const std::size_t colourRow = rowBytes(width, int(bits));
    const std::size_t maskRow = rowBytes(width, 1);
    const std::size_t colourStart = header + paletteBytes;
    const std::size_t maskStart = colourStart + colourRow * std::size_t(height);
    // The mask may be missing from a 32-bit image, whose alpha then says all.
    const bool hasMask = maskStart + maskRow * std::size_t(height) <= size;
    if (maskStart > size || (!hasMask && bits != 32)) return false;

    const unsigned char* palette = data + header;
    IconImage decoded;
    decoded.width = width;
    decoded.height = height;
    decoded.pixels.resize(std::size_t(width) * std::size_t(height));
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const int stored = height - 1 - y;  // bottom row first
        const unsigned char* row = data + colourStart + colourRow * std::size_t(stored);
        const unsigned char* mask = hasMask ? data + maskStart + maskRow * std::size_t(stored) : nullptr;
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = sample(row, x, int(bits), palette, colours);
            if (bits != 32) {
                const bool transparent = mask != nullptr && ((mask[x / 8] >> (7 - x % 8)) & 1u) != 0;
                pixel = transparent ? pixel & 0x00FFFFFFu : pixel | 0xFF000000u;
            } else if ((pixel >> 24) != 0) {
                anyAlpha = true;
            }
            decoded.pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = pixel;
        }
    }
    // A 32-bit image whose alpha is all zero was made for systems that read only the
    // mask: the mask decides then.
    if (bits == 32 && !anyAlpha) {
        for (int y = 0; y < height; ++y) {
            const unsigned char* mask = hasMask ? data + maskStart + maskRow * std::size_t(height - 1 - y) : nullptr;
            for (int x = 0; x < width; ++x) {
                const bool transparent = mask != nullptr && ((mask[x / 8] >> (7 - x % 8)) & 1u) != 0;
                std::uint32_t& pixel = decoded.pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
                pixel = transparent ? pixel & 0x00FFFFFFu : pixel | 0xFF000000u;
            }
        }
    }
    image = std::move(decoded);
    return true;
}

}  // namespace

bool decodeIcon(const unsigned char* data, std::size_t size, int wantedSize, IconImage& image) {
    if (data == nullptr || size < DIRECTORY_HEADER || u16(data) != 0 || u16(data + 2) != 1) return false;
    const std::size_t count = u16(data + 4);
    if (count == 0 || DIRECTORY_HEADER + count * DIRECTORY_ENTRY > size) return false;

    // Best first: the wanted size, then more colours, then larger.
    int best = -1;
    long bestScore = -1;
    Entry chosen{};
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* e = data + DIRECTORY_HEADER + i * DIRECTORY_ENTRY;
        const int side = e[0] == 0 ? 256 : e[0];
        const std::size_t bytes = u32(e + 8);
        const std::size_t offset = u32(e + 12);
        if (offset > size || bytes > size - offset || bytes < 8) continue;
        const unsigned char* start = data + offset;
        if (start[0] == 0x89 && start[1] == 'P' && start[2] == 'N' && start[3] == 'G') continue;
        if (bytes < INFO_HEADER) continue;
        const long bits = long(u16(start + 14));
        const long score = (side == wantedSize ? 1000000L : 0L) + bits * 1000L + side;
        if (score > bestScore) {
            best = int(i);
            bestScore = score;
            chosen = {offset, bytes};
        }
    }
    return best >= 0 && decodeEntry(data + chosen.offset, chosen.size, image);
}
