// Texture objects: made once on first bind, filters set on every bind, nothing made
// for a texture without an image.
#include "render_fixture.h"

static GLint boundTexture() {
    GLint name = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

static std::pair<GLint, GLint> filters() {
    GLint mag = 0, min = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    return {mag, min};
}

TEST_F(RenderTest, OneObjectPerTextureWithFiltersFollowingTheSmoothFlag) {
    Texture a, b;
    loadTexture(a, quadrantBmp());
    loadTexture(b, quadrantBmp());
    device.context.bindTexture(true, &a, false);
    ASSERT_TRUE(a.created);
    const unsigned int name = a.glName;
    for (int k = 0; k < 3; ++k) device.context.bindTexture(true, &a, k != 1);
    EXPECT_EQ(std::pair(a.glName, boundTexture()), std::pair(name, GLint(name)));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(filters(), std::pair(GL_LINEAR, GL_LINEAR));
    GLint wrapS = 0, wrapT = 0;  // the images repeat across the grids
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    EXPECT_EQ(std::pair(wrapS, wrapT), std::pair(GL_REPEAT, GL_REPEAT));
    std::vector<std::uint8_t> uploaded(8 * 8 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, uploaded.data());
    EXPECT_EQ(uploaded, std::vector<std::uint8_t>(a.pixels.get(), a.pixels.get() + 8 * 8 * 4));

    device.context.bindTexture(true, &b, false);
    EXPECT_NE(b.glName, name);
    EXPECT_EQ(filters(), std::pair(GL_NEAREST, GL_NEAREST));
    // Disabled: texturing off, the still-bound texture gets the filter.
    device.context.bindTexture(false, &b, true);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(filters(), std::pair(GL_LINEAR, GL_LINEAR));
    {
        Texture c;
        loadTexture(c, quadrantBmp());
        device.context.bindTexture(true, &c, false);
        b.glName = c.glName;  // remember it past the destructor
    }
    EXPECT_FALSE(glIsTexture(b.glName));
    EXPECT_TRUE(glIsTexture(name));
}

TEST_F(RenderTest, TextureWithoutImageDisablesTexturing) {
    Texture missing;
    missing.loadFromBitmap(nullptr, 106);
    for (Texture* texture : {&missing, static_cast<Texture*>(nullptr)}) {
        glEnable(GL_TEXTURE_2D);
        device.context.bindTexture(true, texture, true);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    }
    EXPECT_FALSE(missing.created);
    EXPECT_EQ(boundTexture(), 0);
}
