// Text output on a window's device context. A Wayland client cannot draw on a picture
// already shown, so the text is kept with the window and drawn with OpenGL over the next
// frame just before it is shown: the frame-rate text of one frame appears on the next,
// where X11 and Windows draw it on the frame just shown. It is placed in the picture
// that spans the outputs, so it shows on the output where it falls. The glyphs are the program's
// own: 5 x 7 on a 6-pixel advance, the characters of the frame-rate text; others are
// left blank.
#include <GL/gl.h>

#include <cstring>

#include "platform/platform.h"
#include "platform/wayland/wayland.h"

namespace {

constexpr int ADVANCE = 6;
constexpr int ASCENT = 9;       // from the text's top to its baseline
constexpr int LINE_HEIGHT = 12;  // the opaque background's height
constexpr int GLYPH_ROWS = 9;   // 7 above the baseline, 2 below

// Rows from the top, the leftmost pixel in bit 4.
struct Glyph {
    char character;
    std::uint8_t rows[GLYPH_ROWS];
};

constexpr Glyph GLYPHS[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}},
    {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
    {'a', {0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F}},
    {'e', {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E}},
    {'f', {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08}},
    {'i', {0x04, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E}},
    {'n', {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x11}},
    {'p', {0x00, 0x00, 0x1E, 0x11, 0x11, 0x11, 0x1E, 0x10, 0x10}},
    {'s', {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E}},
};

const Glyph* glyphOf(char character) {
    for (const Glyph& glyph : GLYPHS) {
        if (glyph.character == character) return &glyph;
    }
    return nullptr;
}

// One line of text with its baseline at (x, baseline) in OpenGL's window coordinates
// (from the bottom left), in the current raster colour.
void drawLine(const WaylandTextOut& out, int x, int baseline) {
    glRasterPos2i(x, baseline);
    for (int i = 0; i < out.count; ++i) {
        GLubyte bitmap[GLYPH_ROWS] = {};
        if (const Glyph* glyph = glyphOf(out.text[i])) {
            for (int row = 0; row < GLYPH_ROWS; ++row) {
                bitmap[row] = GLubyte(glyph->rows[GLYPH_ROWS - 1 - row] << 3);  // bottom row first
            }
        }
        glBitmap(ADVANCE, GLYPH_ROWS, 0, 2, ADVANCE, 0, bitmap);
    }
}

}  // namespace

void platformSetTextColor(DeviceContext dc, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    if (WaylandWindow* window = waylandWindowOfDeviceContext(dc)) {
        window->textRed = red;
        window->textGreen = green;
        window->textBlue = blue;
    }
}

void platformSetBkModeTransparent(DeviceContext dc) {
    if (WaylandWindow* window = waylandWindowOfDeviceContext(dc)) window->transparentText = true;
}

void platformTextOut(DeviceContext dc, int x, int y, const char* text, int count) {
    WaylandWindow* window = waylandWindowOfDeviceContext(dc);
    if (window == nullptr || text == nullptr || count <= 0 || window->textCount == TEXT_OUT_CAPACITY) return;
    WaylandTextOut& out = window->texts[window->textCount++];
    out.x = x;
    out.y = y;
    out.count = count < TEXT_OUT_LENGTH ? count : TEXT_OUT_LENGTH;
    std::memcpy(out.text, text, std::size_t(out.count));
    out.red = window->textRed;
    out.green = window->textGreen;
    out.blue = window->textBlue;
    out.transparent = window->transparentText;
}

void waylandDrawTexts(const WaylandWindow& window, int width, int height) {
    if (window.textCount == 0) return;
    waylandBeginPlainDrawing();
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    for (int i = 0; i < window.textCount; ++i) {
        const WaylandTextOut& out = window.texts[i];
        const int top = height - out.y;
        if (!out.transparent) {
            glColor3ub(255, 255, 255);
            glRecti(out.x, top - LINE_HEIGHT, out.x + ADVANCE * out.count, top);
        }
        glColor3ub(out.red, out.green, out.blue);
        drawLine(out, out.x, top - ASCENT);
    }
    waylandEndPlainDrawing();
}
