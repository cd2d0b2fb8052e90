#include "render_fixture.h"

#include "gfx/embedded_resources.h"

// Read by LeakSanitizer in sanitizer builds: Mesa's software rasteriser never frees the
// buffers of feedback mode.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:swrast_dri.so\n";
}

Rgba readPixel(int x, int y) {
    unsigned char p[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

Placement placementAt(Vec3 position) {
    Placement placement{};
    placement.resetAxes();
    placement.position = position;
    return placement;
}

std::set<WindowPoint> feedbackVertices(const std::function<void()>& draw) {
    static GLfloat buffer[8192];
    glFeedbackBuffer(8192, GL_2D, buffer);
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::set<WindowPoint> vertices;
    for (GLint i = 0; i < used;) {
        const GLint token = GLint(buffer[i++]);
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        for (GLint n = GLint(buffer[i++]); n > 0; --n, i += 2) {
            vertices.insert(windowPoint(buffer[i], buffer[i + 1]));
        }
    }
    return vertices;
}

void useDeepOrthoProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-10.0, 10.0, -10.0, 10.0, -10.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
}

static void putU32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value) {
    for (int k = 0; k < 4; ++k) bytes[at + k] = (unsigned char)(value >> (8 * k));
}

std::vector<unsigned char> makeBmp(int width, int height,
                                   const std::function<std::uint32_t(int, int)>& colourAt, bool topDown) {
    const std::size_t stride = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    std::vector<unsigned char> bytes(54 + stride * height, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    putU32(bytes, 2, std::uint32_t(bytes.size()));
    putU32(bytes, 10, 54);
    putU32(bytes, 14, 40);
    putU32(bytes, 18, std::uint32_t(width));
    putU32(bytes, 22, std::uint32_t(topDown ? -height : height));
    bytes[26] = 1;   // planes
    bytes[28] = 24;  // bits per pixel
    for (int y = 0; y < height; ++y) {
        const std::size_t row = 54 + stride * std::size_t(topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colourAt(x, y);
            bytes[row + 3 * x] = (unsigned char)(c >> 16);
            bytes[row + 3 * x + 1] = (unsigned char)(c >> 8);
            bytes[row + 3 * x + 2] = (unsigned char)c;
        }
    }
    return bytes;
}

void loadTexture(Texture& texture, const std::vector<unsigned char>& bmp) {
    const EmbeddedResource item{200, bmp.data(), bmp.size()};
    const ResourceTable table{&item, 1};
    texture.loadFromBitmap(&table, 200);
}

std::vector<unsigned char> quadrantBmp() {
    return makeBmp(8, 8, [](int x, int y) {
        if (y < 4) return x < 4 ? rgb(255, 0, 0) : rgb(0, 255, 0);
        return x < 4 ? rgb(0, 0, 255) : rgb(255, 255, 255);
    });
}
