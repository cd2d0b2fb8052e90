#include "render_fixture.h"

#include "platform/common/embedded_resources.h"

// Read by LeakSanitizer in sanitizer builds: Mesa's software rasteriser never frees the
// buffers of feedback mode.
extern "C" const char* __lsan_default_suppressions() { return "leak:swrast_dri.so\n"; }

Rgb readPixel(int x, int y) {
    unsigned char p[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

std::vector<GLfloat> floats(GLenum name, int count) {
    std::vector<GLfloat> value(16, 0.0f);
    glGetFloatv(name, value.data());
    value.resize(count);
    return value;
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
        if (GLint(buffer[i++]) != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token";
            break;
        }
        for (GLint n = GLint(buffer[i++]); n > 0; --n, i += 2) vertices.insert(windowPoint(buffer[i], buffer[i + 1]));
    }
    return vertices;
}

std::vector<unsigned char> makeBmp(int width, int height,
                                   const std::function<std::uint32_t(int, int)>& colourAt, bool topDown) {
    const std::size_t stride = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    std::vector<unsigned char> bytes(54 + stride * height, 0);
    auto put32 = [&](std::size_t at, std::uint32_t value) {
        for (int k = 0; k < 4; ++k) bytes[at + k] = (unsigned char)(value >> (8 * k));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, std::uint32_t(bytes.size()));
    put32(10, 54);  // pixel data offset
    put32(14, 40);  // info header size
    put32(18, std::uint32_t(width));
    put32(22, std::uint32_t(topDown ? -height : height));
    bytes[26] = 1;   // planes
    bytes[28] = 24;  // bits per pixel
    for (int y = 0; y < height; ++y) {
        unsigned char* row = &bytes[54 + stride * std::size_t(topDown ? y : height - 1 - y)];
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colourAt(x, y);
            row[3 * x] = (unsigned char)(c >> 16);
            row[3 * x + 1] = (unsigned char)(c >> 8);
            row[3 * x + 2] = (unsigned char)c;
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
