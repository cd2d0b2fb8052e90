// Bitmaps into texture buffers: power-of-two sizes from the top-left corner, bottom row
// first, white beyond the bitmap, alpha 255; unreadable bitmaps leave nothing behind.
#include "render_fixture.h"

#include <climits>

#include "platform/common/embedded_resources.h"

static std::tuple<int, int, int, int> texel(const Texture& t, int row, int column) {
    const std::uint8_t* p = &t.pixels[(std::size_t(row) * t.width + column) * 4];
    return {p[0], p[1], p[2], p[3]};
}

TEST(TextureConversion, RoundTextureSizeLadder) {
    for (int p = 16; p <= 1024; p *= 2)
        EXPECT_EQ(std::pair(roundTextureSize(p - 1), roundTextureSize(p)), std::pair(p / 2, p)) << p;
    for (int n : {INT_MIN, 0}) EXPECT_EQ(roundTextureSize(n), 8);
    EXPECT_EQ(roundTextureSize(INT_MAX), 1024);
}

TEST(TextureConversion, TakesTheTopLeftCornerBottomRowFirst) {
    Texture t;
    for (bool topDown : {false, true}) {
        loadTexture(t, makeBmp(100, 40, [](int x, int y) { return rgb(x, y, 7); }, topDown));
        ASSERT_TRUE(t.loaded);
        ASSERT_EQ(std::pair(t.width, t.height), std::pair(64, 32));
        for (int i = 0; i < 32; ++i) {
            for (int j = 0; j < 64; ++j) {
                ASSERT_EQ(texel(t, i, j), std::tuple(j, 31 - i, 7, 255)) << i << "," << j;
            }
        }
    }
}

TEST(TextureConversion, PointsBeyondANarrowBitmapAreWhite) {
    Texture t;
    loadTexture(t, makeBmp(5, 9, [](int, int) { return rgb(10, 20, 30); }));  // padded rows
    ASSERT_EQ(std::pair(t.width, t.height), std::pair(8, 8));
    for (int j = 0; j < 8; ++j) {
        EXPECT_EQ(texel(t, 4, j), j < 5 ? std::tuple(10, 20, 30, 255) : std::tuple(255, 255, 255, 255)) << j;
    }
}

TEST(TextureConversion, MissingOrMalformedBitmapsLeaveTheTextureUnloaded) {
    const std::vector<unsigned char> good = makeBmp(9, 9, [](int, int) { return rgb(1, 2, 3); });
    const EmbeddedResource item{106, good.data(), good.size()};
    const ResourceTable table{&item, 1};
    Texture t;
    t.loadFromBitmap(&table, 0x10000 | 106);  // found by the low 16 bits
    EXPECT_TRUE(t.loaded);
    t.loadFromBitmap(&table, 104);  // not there: what was loaded is dropped
    EXPECT_FALSE(t.loaded);
    EXPECT_EQ(t.pixels, nullptr);

    std::vector<unsigned char> bad(good.begin(), good.end() - 2);  // truncated pixel data
    loadTexture(t, bad);
    EXPECT_FALSE(t.loaded);
    bad = good;
    bad[28] = 8;  // 8 bits per pixel
    loadTexture(t, bad);
    EXPECT_FALSE(t.loaded);
}
