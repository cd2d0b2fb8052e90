// Bitmap resources of the Windows module, read through a memory device context with
// the system's per-point colour query.
#include <windows.h>

#include <cstdint>

#include "platform/bitmap_source.h"

namespace {
// What this reader keeps in BitmapSource::readerState: the memory device context the
// bitmap is selected into, and the bitmap.
struct GdiBitmap {
    HDC memoryContext;
    HBITMAP bitmap;
};
}  // namespace

bool openBitmap(BitmapSource& source, InstanceHandle instance, int resourceId) {
    source = BitmapSource{};
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(static_cast<HINSTANCE>(const_cast<void*>(instance)),
                                                     MAKEINTRESOURCEA(resourceId & 0xFFFF), IMAGE_BITMAP,
                                                     0, 0, LR_CREATEDIBSECTION));
    if (bitmap == nullptr) {
        return false;
    }
    HDC memoryContext = CreateCompatibleDC(nullptr);
    SelectObject(memoryContext, bitmap);
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);

    source.width = info.bmWidth;
    source.height = info.bmHeight;
    keepReaderState<GdiBitmap>(source, {memoryContext, bitmap});
    return true;
}

std::uint32_t bitmapPoint(const BitmapSource& source, int x, int y) {
    // GetPixel answers CLR_INVALID (0xFFFFFFFF) outside the bitmap.
    return GetPixel(keptReaderState<GdiBitmap>(source).memoryContext, x, y);
}

void closeBitmap(BitmapSource& source) {
    const GdiBitmap kept = keptReaderState<GdiBitmap>(source);
    DeleteDC(kept.memoryContext);
    DeleteObject(kept.bitmap);
    source = BitmapSource{};
}
