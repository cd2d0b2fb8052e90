// Sprites: squares at the eye-space corners, the image upside down on them, the depth
// limits of submission, particle fading and the state each operation leaves.
#include "render_fixture.h"

#include <cmath>

#include "scene/particle_pool.h"
#include "scene/sprite_set.h"

static const Placement origin = placementAt({0.0f, 0.0f, 0.0f});
static const Color4 white = {1.0f, 1.0f, 1.0f, 1.0f};

TEST_F(RenderTest, SpriteCornersLandWhereTheEyeCoordinatesSay) {
    // (0, 0, -10), edge 2: corners (-1, 1), (1, 1), (1, -1), (-1, -1) at z = -10, which the
    // frustum maps to x 30..50, y 20..40 on an 80 x 60 surface.
    const auto corners = feedbackVertices([&] { device.drawSprite({0.0f, 0.0f, -10.0f}, 2.0f, origin, white); });
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
    device.drawSpriteSet(placementAt({0.0f, 0.0f, -10.0f}), origin, set);
    EXPECT_EQ(readPixel(33, 36), Rgb(0, 0, 255));      // upper left: bottom-left of the image
    EXPECT_EQ(readPixel(46, 36), Rgb(255, 255, 255));  // upper right: bottom-right
    EXPECT_EQ(readPixel(33, 23), Rgb(255, 0, 0));      // lower left: top-left
    EXPECT_EQ(readPixel(29, 30), Rgb(0, 0, 0));
    EXPECT_EQ(set.worldPoint(0), (Vec3{0.0f, 0.0f, -10.0f}));
    // State left behind: blending and texturing off, depth, lighting and fog back on.
    EXPECT_FALSE(glIsEnabled(GL_BLEND) || glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_FOG));
}

TEST_F(RenderTest, SubmissionStopsBeyondTheDepthLimits) {
    // An orthographic view of eye z -10..10 shows what lies behind the camera plane.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-10.0, 10.0, -10.0, 10.0, -10.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    const float justOver5 = std::nextafter(5.0f, 6.0f);
    const float justOver1 = std::nextafter(1.0f, 2.0f);

    SpriteSet set;
    set.addPoint({0.0f, 0.0f, 5.0f});
    set.addPoint({3.0f, 0.0f, justOver5});
    EXPECT_EQ(feedbackVertices([&] { device.drawSpriteSet(origin, origin, set); }).size(), 4u);
    ParticlePool pool;
    pool.emit({0.0f, 0.0f, 5.0f}, {}, 1.0f, 1.0f, white);
    pool.emit({3.0f, 0.0f, justOver5}, {}, 1.0f, 1.0f, white);
    EXPECT_EQ(feedbackVertices([&] { device.drawParticles(origin, origin, pool); }).size(), 4u);
    for (auto [z, corners] : {std::pair{1.0f, 4u}, std::pair{justOver1, 0u}, std::pair{4.0f, 0u}}) {
        EXPECT_EQ(feedbackVertices([&] { device.drawSprite({0.0f, 0.0f, z}, 1.0f, origin, white); }).size(), corners)
            << z;
    }
}

TEST_F(RenderTest, ParticlesFadeToBlackOverTheirLife) {
    ParticlePool pool;  // no texture: drawn in flat colour
    for (float x : {-2.0f, 0.0f, 2.0f}) pool.emit({x, 0.0f, -10.0f}, {}, 2.0f, 1.0f, {1.0f, 0.5f, 0.25f, 0.0f});
    pool.entries[1].age = 0.5f;
    pool.entries[2].age = 1.0f;
    device.setBackground(0.0f, 0.0f, 0.0f, 0.0f);
    device.beginFrame();
    device.drawParticles(origin, origin, pool);

    auto isAbout = [](Rgb c, int r, int g, int b) {
        auto [cr, cg, cb] = c;
        return std::abs(cr - r) <= 1 && std::abs(cg - g) <= 1 && std::abs(cb - b) <= 1;
    };
    EXPECT_TRUE(isAbout(readPixel(20, 30), 255, 128, 64));
    EXPECT_TRUE(isAbout(readPixel(40, 30), 128, 64, 32));
    EXPECT_TRUE(isAbout(readPixel(60, 30), 0, 0, 0));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));  // unlike after a sprite set
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_FOG));
}
