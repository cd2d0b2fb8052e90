#include "platform/dialog_model/dialog_units.h"

#include <cstdint>

int mulDiv(int a, int b, int c) {
    if (c == 0) return 0;
    const std::int64_t product = std::int64_t(a) * b;
    const std::int64_t half = (c < 0 ? -std::int64_t(c) : std::int64_t(c)) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = ((product < 0 ? -product : product) + half) / (c < 0 ? -std::int64_t(c) : c);
    return int(negative ? -magnitude : magnitude);
}

DialogBaseUnits dialogBaseUnits(int lettersWidth, int fontHeight) {
    // Twice the mean over 52 letters, plus one, halved: the mean rounded half up.
    const int x = (lettersWidth / 26 + 1) / 2;
    return {x > 0 ? x : 1, fontHeight > 0 ? fontHeight : 1};
}

PixelRect mapDialogRect(int x, int y, int width, int height, DialogBaseUnits units) {
    const int left = mulDiv(x, units.x, 4);
    const int top = mulDiv(y, units.y, 8);
    const int right = mulDiv(x + width, units.x, 4);
    const int bottom = mulDiv(y + height, units.y, 8);
    return {left, top, right - left, bottom - top};
}
