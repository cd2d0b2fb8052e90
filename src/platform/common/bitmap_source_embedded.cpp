// Bitmaps compiled into the program: the InstanceHandle points at a ResourceTable of
// whole .bmp files, and this reader decodes the 24-bit uncompressed ones in place.
#include <cstddef>
#include <cstdint>

#include "platform/bitmap_source.h"
#include "platform/common/embedded_resources.h"

namespace {
// What this reader keeps in BitmapSource::readerState: where the top row starts and how
// far it is from one row to the next (negative for a bottom-up bitmap).
struct BmpRows {
    const unsigned char* topRow;
    std::ptrdiff_t rowStep;
};

std::uint32_t readU16(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
}

std::uint32_t readU32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

const EmbeddedResource* findResource(const ResourceTable* table, int resourceId) {
    if (table == nullptr || table->items == nullptr) {
        return nullptr;
    }
    const int wanted = resourceId & 0xFFFF;
    for (int i = 0; i < table->count; ++i) {
        if (table->items[i].id == wanted) {
            return &table->items[i];
        }
    }
    return nullptr;
}

// Checks the headers of a .bmp file and points `source` at its rows. Only 24-bit
// uncompressed images with an info header of 40 bytes or more are accepted, bottom-up
// or top-down; everything that would make a read fall outside the data is refused.
bool decodeBmp(const unsigned char* data, std::uint64_t size, BitmapSource& source) {
    constexpr std::uint64_t FILE_HEADER = 14;
    constexpr std::uint32_t INFO_HEADER = 40;
    constexpr std::int64_t MAX_SIDE = 65535;

    if (data == nullptr || size < FILE_HEADER + 4 || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    const std::uint64_t pixelOffset = readU32(data + 10);
    const std::uint32_t headerSize = readU32(data + 14);
    if (headerSize < INFO_HEADER || FILE_HEADER + headerSize > size) {
        return false;
    }
    const std::int64_t width = std::int32_t(readU32(data + 18));
    const std::int64_t height = std::int32_t(readU32(data + 22));
    const std::uint32_t planes = readU16(data + 26);
    const std::uint32_t bitCount = readU16(data + 28);
    const std::uint32_t compression = readU32(data + 30);

    const bool topDown = height < 0;
    const std::int64_t rows = topDown ? -height : height;
    if (planes != 1 || bitCount != 24 || compression != 0 || width <= 0 || width > MAX_SIDE ||
        rows <= 0 || rows > MAX_SIDE) {
        return false;
    }

    const std::uint64_t stride = (std::uint64_t(width) * 3 + 3) & ~std::uint64_t(3);
    const std::uint64_t lastRowEnd = pixelOffset + stride * std::uint64_t(rows - 1) + std::uint64_t(width) * 3;
    if (pixelOffset < FILE_HEADER + headerSize || lastRowEnd > size) {
        return false;
    }

    source.width = int(width);
    source.height = int(rows);
    if (topDown) {
        keepReaderState<BmpRows>(source, {data + pixelOffset, std::ptrdiff_t(stride)});
    } else {
        keepReaderState<BmpRows>(source, {data + pixelOffset + stride * std::uint64_t(rows - 1), -std::ptrdiff_t(stride)});
    }
    return true;
}
}  // namespace

bool openBitmap(BitmapSource& source, InstanceHandle instance, int resourceId) {
    source = BitmapSource{};
    const EmbeddedResource* resource =
        findResource(static_cast<const ResourceTable*>(instance), resourceId);
    if (resource == nullptr || !decodeBmp(resource->data, resource->size, source)) {
        source = BitmapSource{};
        return false;
    }
    return true;
}

std::uint32_t bitmapPoint(const BitmapSource& source, int x, int y) {
    // A source that is not open has no points: its width and height are 0.
    if (x < 0 || y < 0 || x >= source.width || y >= source.height) {
        return BITMAP_POINT_OUTSIDE;
    }
    const BmpRows rows = keptReaderState<BmpRows>(source);
    const unsigned char* point = rows.topRow + std::ptrdiff_t(y) * rows.rowStep + std::ptrdiff_t(x) * 3;
    // Stored blue, green, red; reported as 0x00BBGGRR.
    return std::uint32_t(point[2]) | std::uint32_t(point[1]) << 8 | std::uint32_t(point[0]) << 16;
}

void closeBitmap(BitmapSource& source) {
    source = BitmapSource{};
}
