// Bitmaps into texture buffers: power-of-two sizes from the top-left corner, bottom row
// first, white beyond the bitmap, alpha 255; unreadable bitmaps leave nothing behind.
#include "render_fixture.h"

#include <climits>

#include "gfx/embedded_resources.h"

static Rgba texel(const Texture& t, int row, int column) {
    const std::uint8_t* p = &t.pixels[(std::size_t(row) * t.width + column) * 4];
    return {p[0], p[1], p[2], p[3]};
}

TEST(TextureConversion, RoundTextureSizeLadder) {
    const std::vector<std::pair<int, int>> cases = {
        {INT_MIN, 8}, {0, 8}, {15, 8}, {16, 16}, {31, 16}, {32, 32}, {64, 64}, {100, 64},
        {128, 128}, {255, 128}, {256, 256}, {511, 256}, {512, 512}, {1023, 512}, {1024, 1024},
        {2000, 1024}, {INT_MAX, 1024}};
    for (auto [n, expected] : cases) EXPECT_EQ(roundTextureSize(n), expected) << n;
}

TEST(TextureConversion, TakesTheTopLeftCornerBottomRowFirst) {
    Texture t;
    for (bool topDown : {false, true}) {
        loadTexture(t, makeBmp(100, 40, [](int x, int y) { return rgb(x, y, 7); }, topDown));
        ASSERT_TRUE(t.loaded);
        ASSERT_EQ(std::pair(t.width, t.height), std::pair(64, 32));
        for (int i = 0; i < 32; ++i) {
            for (int j = 0; j < 64; ++j) {
                const Rgba p = texel(t, i, j);
                ASSERT_EQ(std::tuple(p.r, p.g, p.b, p.a), std::tuple(j, 31 - i, 7, 255)) << i << "," << j;
            }
        }
    }
}

TEST(TextureConversion, TopRowEndsUpLast) {
    Texture t;
    loadTexture(t, makeBmp(8, 8, [](int, int y) { return y == 0 ? rgb(255, 0, 0) : rgb(0, 0, 255); }));
    EXPECT_EQ(texel(t, 7, 3).r, 255);
    EXPECT_EQ(texel(t, 6, 3).b, 255);
    EXPECT_EQ(texel(t, 0, 3).b, 255);
}

TEST(TextureConversion, PointsBeyondANarrowBitmapAreWhite) {
    Texture t;
    loadTexture(t, makeBmp(5, 9, [](int, int) { return rgb(10, 20, 30); }));  // padded rows
    ASSERT_EQ(std::pair(t.width, t.height), std::pair(8, 8));
    for (int j = 0; j < 8; ++j) {
        const Rgba p = texel(t, 4, j);
        const int expected = j < 5 ? 10 : 255;
        EXPECT_EQ(std::tuple(p.r, p.a), std::tuple(expected, 255)) << j;
    }
}

TEST(TextureConversion, LargeBitmapsAreCutTo1024) {
    Texture t;
    loadTexture(t, makeBmp(1030, 1025, [](int x, int) { return rgb(x & 255, 0, 0); }));
    EXPECT_EQ(std::pair(t.width, t.height), std::pair(1024, 1024));
    EXPECT_EQ(texel(t, 0, 1023).r, 1023 & 255);
}

TEST(TextureConversion, ResourcesAreFoundByTheLow16BitsOfTheirNumber) {
    const std::vector<unsigned char> bmp = makeBmp(64, 64, [](int, int) { return rgb(1, 2, 3); });
    const EmbeddedResource item{106, bmp.data(), bmp.size()};
    const ResourceTable table{&item, 1};
    Texture t;
    t.loadFromBitmap(&table, 0x10000 | 106);
    EXPECT_TRUE(t.loaded);
    EXPECT_EQ(std::pair(t.width, t.height), std::pair(64, 64));

    t.loadFromBitmap(&table, 104);  // not there: what was loaded is dropped
    EXPECT_FALSE(t.loaded);
    EXPECT_EQ(t.pixels, nullptr);
    t.loadFromBitmap(nullptr, 106);
    EXPECT_FALSE(t.loaded);
}

TEST(TextureConversion, MalformedBitmapsLeaveTheTextureUnloaded) {
    const std::vector<unsigned char> good = makeBmp(9, 9, [](int, int) { return rgb(1, 2, 3); });
    auto with = [&](std::size_t at, unsigned char value) {
        std::vector<unsigned char> bad = good;
        bad[at] = value;
        return bad;
    };
    const std::vector<std::vector<unsigned char>> bad = {
        {},
        std::vector<unsigned char>(good.begin(), good.end() - 2),  // truncated pixel data
        std::vector<unsigned char>(good.begin(), good.begin() + 30),  // truncated header
        with(0, 'X'),        // not a BMP
        with(28, 8),         // 8 bits per pixel
        with(30, 1),         // compressed
        with(18, 0),         // zero width
        with(21, 0x7F),      // absurd width
        with(25, 0x80),      // height with a huge negative value
        with(12, 0x10),      // pixel data beyond the file
        with(14, 20),        // unknown header size
    };
    for (std::size_t k = 0; k < bad.size(); ++k) {
        Texture t;
        loadTexture(t, bad[k]);
        EXPECT_FALSE(t.loaded) << "case " << k;
        EXPECT_EQ(t.pixels, nullptr);
    }
}
