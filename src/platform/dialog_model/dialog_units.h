#pragma once
// Dialog units to pixels, the way Windows maps a dialog template for the dialog's font.
#include <string_view>

// The font's average character width and its height, in pixels.
struct DialogBaseUnits {
    int x;
    int y;
};

struct PixelRect {
    int left;
    int top;
    int width;
    int height;

    bool contains(int px, int py) const { return px >= left && py >= top && px < left + width && py < top + height; }
};

// The letters whose mean width is the base width: A to Z, then a to z.
inline constexpr std::string_view BASE_UNIT_LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// MulDiv: a * b / c rounded to the nearest integer, halves away from zero; 0 when c is 0.
int mulDiv(int a, int b, int c);

// The base units of a font from the width of BASE_UNIT_LETTERS drawn in it and its
// height: the mean letter width rounded half up, and the height. Never less than 1.
DialogBaseUnits dialogBaseUnits(int lettersWidth, int fontHeight);

// A rectangle in dialog units in pixels. Its edges are mapped, not its size, so that
// controls that touch in dialog units touch in pixels too.
PixelRect mapDialogRect(int x, int y, int width, int height, DialogBaseUnits units);
