// Sprites: squares at the eye-space corners, the image upside down on them, the depth
// limits of submission, particle fading and the state each operation leaves.
#include "render_fixture.h"

#include <cmath>

#include "scene/particle_pool.h"
#include "scene/sprite_set.h"

static const Placement origin = placementAt({0.0f, 0.0f, 0.0f});

TEST_F(RenderTest, SpriteCornersLandWhereTheEyeCoordinatesSay) {
    // (0, 0, -10), edge 2: corners (-1, 1), (1, 1), (1, -1), (-1, -1) at z = -10, which the
    // frustum maps to x 30..50, y 20..40 on an 80 x 60 surface.
    const auto corners = feedbackVertices(
        [&] { device.drawSprite({0.0f, 0.0f, -10.0f}, 2.0f, origin, {1.0f, 1.0f, 1.0f, 1.0f}); });
    EXPECT_EQ(corners, (std::set{windowPoint(30, 40), windowPoint(50, 40), windowPoint(50, 20), windowPoint(30, 20)}));
}

TEST_F(RenderTest, SpriteSetDrawsItsImageUpsideDown) {
    Texture quadrants;
    loadTexture(quadrants, quadrantBmp());
    SpriteSet set;
    set.addPoint({0.0f, 0.0f, 0.0f});
    set.setTexture(&quadrants);
    set.setSize(2.0f);
    device.smoothTextures = false;
    device.setBackground(0.0f, 0.0f, 0.0f, 0.0f);
    device.beginFrame();
    Placement turned = placementAt({0.0f, 0.0f, -10.0f});
    device.drawSpriteSet(turned, origin, set);

    auto colour = [](int x, int y) { const Rgba p = readPixel(x, y); return std::tuple(p.r, p.g, p.b); };
    EXPECT_EQ(colour(33, 36), std::tuple(0, 0, 255));      // upper left: bottom-left of the image
    EXPECT_EQ(colour(46, 36), std::tuple(255, 255, 255));  // upper right: bottom-right
    EXPECT_EQ(colour(33, 23), std::tuple(255, 0, 0));      // lower left: top-left
    EXPECT_EQ(colour(46, 23), std::tuple(0, 255, 0));
    EXPECT_EQ(colour(29, 30), std::tuple(0, 0, 0));
    EXPECT_EQ(colour(40, 40), std::tuple(0, 0, 0));
    EXPECT_EQ(set.worldPoint(0), (Vec3{0.0f, 0.0f, -10.0f}));

    // State left behind: blending and texturing off, depth, lighting and fog back on.
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_FOG));
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask);

    // Textures off: flat colour, nothing bound.
    device.texturesEnabled = false;
    Texture unused;
    loadTexture(unused, quadrantBmp());
    set.setTexture(&unused);
    set.setColor({0.5f, 0.5f, 0.5f, 1.0f});
    device.beginFrame();
    device.drawSpriteSet(turned, origin, set);
    EXPECT_EQ(colour(33, 36), std::tuple(128, 128, 128));
    EXPECT_EQ(colour(46, 23), std::tuple(128, 128, 128));
    EXPECT_FALSE(unused.created);
}

TEST_F(RenderTest, SubmissionStopsBeyondTheDepthLimits) {
    useDeepOrthoProjection();  // makes points behind the camera plane visible
    const float justOver5 = std::nextafter(5.0f, 6.0f);
    const float justOver1 = std::nextafter(1.0f, 2.0f);

    SpriteSet set;
    set.addPoint({0.0f, 0.0f, 5.0f});
    set.addPoint({3.0f, 0.0f, justOver5});
    EXPECT_EQ(feedbackVertices([&] { device.drawSpriteSet(origin, origin, set); }).size(), 4u);
    EXPECT_EQ(set.worldPoint(1), (Vec3{3.0f, 0.0f, justOver5}));  // stored although skipped  // stored although skipped

    ParticlePool pool;
    pool.emit({0.0f, 0.0f, 5.0f}, {}, 1.0f, 1.0f, {1.0f, 1.0f, 1.0f, 1.0f});
    pool.emit({3.0f, 0.0f, justOver5}, {}, 1.0f, 1.0f, {1.0f, 1.0f, 1.0f, 1.0f});
    EXPECT_EQ(feedbackVertices([&] { device.drawParticles(origin, origin, pool); }).size(), 4u);

    const Color4 white = {1.0f, 1.0f, 1.0f, 1.0f};
    EXPECT_EQ(feedbackVertices([&] { device.drawSprite({0.0f, 0.0f, 1.0f}, 1.0f, origin, white); }).size(), 4u);
    EXPECT_EQ(feedbackVertices([&] { device.drawSprite({0.0f, 0.0f, justOver1}, 1.0f, origin, white); }).size(), 0u);
    EXPECT_EQ(feedbackVertices([&] { device.drawSprite({0.0f, 0.0f, 4.0f}, 1.0f, origin, white); }).size(), 0u);
}

TEST_F(RenderTest, ParticlesFadeToBlackOverTheirLife) {
    ParticlePool pool;  // no texture: drawn in flat colour
    for (float x : {-2.0f, 0.0f, 2.0f}) pool.emit({x, 0.0f, -10.0f}, {}, 2.0f, 1.0f, {1.0f, 0.5f, 0.25f, 0.0f});
    pool.entries[1].age = 0.5f;
    pool.entries[2].age = 1.0f;
    device.setBackground(0.0f, 0.0f, 0.0f, 0.0f);
    device.beginFrame();
    device.drawParticles(origin, origin, pool);

    auto isAbout = [](Rgba p, int r, int g, int b) {
        return std::abs(p.r - r) <= 1 && std::abs(p.g - g) <= 1 && std::abs(p.b - b) <= 1;
    };
    EXPECT_TRUE(isAbout(readPixel(20, 30), 255, 128, 64));
    EXPECT_TRUE(isAbout(readPixel(40, 30), 128, 64, 32));
    EXPECT_TRUE(isAbout(readPixel(60, 30), 0, 0, 0));

    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));  // unlike after a sprite set
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_FOG));
}
