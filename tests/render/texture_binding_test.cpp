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

TEST_F(RenderTest, FirstBindUploadsOneObjectPerTexture) {
    Texture a, b;
    loadTexture(a, quadrantBmp());
    loadTexture(b, quadrantBmp());
    device.context.bindTexture(true, &a, false);
    ASSERT_TRUE(a.created);
    const unsigned int name = a.glName;
    for (int k = 0; k < 3; ++k) device.context.bindTexture(true, &a, true);
    EXPECT_EQ(a.glName, name);
    EXPECT_EQ(boundTexture(), GLint(name));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

    std::vector<std::uint8_t> uploaded(8 * 8 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, uploaded.data());
    EXPECT_EQ(uploaded, std::vector<std::uint8_t>(a.pixels.get(), a.pixels.get() + 8 * 8 * 4));
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_REPEAT);

    device.context.bindTexture(true, &b, false);
    EXPECT_NE(b.glName, name);
    EXPECT_TRUE(glIsTexture(name));
    {
        Texture c;
        loadTexture(c, quadrantBmp());
        device.context.bindTexture(true, &c, false);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        glBindTexture(GL_TEXTURE_2D, c.glName);
        EXPECT_TRUE(glIsTexture(c.glName));
        b.glName = c.glName;  // remember it past the destructor
    }
    EXPECT_FALSE(glIsTexture(b.glName));
}

TEST_F(RenderTest, FiltersFollowTheSmoothFlag) {
    Texture t;
    loadTexture(t, quadrantBmp());
    device.context.bindTexture(true, &t, true);
    EXPECT_EQ(filters(), std::pair(GL_LINEAR, GL_LINEAR));
    device.context.bindTexture(true, &t, false);
    EXPECT_EQ(filters(), std::pair(GL_NEAREST, GL_NEAREST));
    // Disabled: texturing off, the still-bound texture gets the filter.
    device.context.bindTexture(false, &t, true);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(boundTexture(), GLint(t.glName));
    EXPECT_EQ(filters(), std::pair(GL_LINEAR, GL_LINEAR));
}

TEST_F(RenderTest, TextureWithoutImageDisablesTexturing) {
    Texture missing;
    missing.loadFromBitmap(nullptr, 106);
    glEnable(GL_TEXTURE_2D);
    device.context.bindTexture(true, &missing, true);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(missing.created);
    EXPECT_EQ(boundTexture(), 0);
    glEnable(GL_TEXTURE_2D);
    device.context.bindTexture(true, nullptr, true);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}
