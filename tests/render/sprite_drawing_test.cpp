// Sprites: squares at the eye-space corners, the image upside down on them, the depth
// limits of submission, particle fading and the state each operation leaves.
#include "render_fixture.h"

#include <cmath>
#include <functional>
#include <string>
#include <utility>

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

    EXPECT_TRUE(isAbout(readPixel(20, 30), Rgb(255, 128, 64), 1));
    EXPECT_TRUE(isAbout(readPixel(40, 30), Rgb(128, 64, 32), 1));
    EXPECT_TRUE(isAbout(readPixel(60, 30), Rgb(0, 0, 0), 1));
}

namespace {
// Sprite state entered by both operations, whatever the state before.
void everythingOn() {
    for (GLenum name : {GL_DEPTH_TEST, GL_LIGHTING, GL_FOG, GL_BLEND, GL_TEXTURE_2D}) glEnable(name);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
}

void everythingOff() {
    for (GLenum name : {GL_DEPTH_TEST, GL_LIGHTING, GL_FOG, GL_BLEND, GL_TEXTURE_2D}) glDisable(name);
    glBlendFunc(GL_ZERO, GL_ZERO);
    glDepthMask(GL_TRUE);
}

GLint minFilter() {
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    return filter;
}
}  // namespace

TEST_F(RenderTest, SpriteOperationsLeaveTheirStatedState) {
    // After a sprite set or the particles: lighting and fog on, texturing and blending off,
    // depth writes on again, and the additive function of the sprites still set. Depth
    // testing is back on after a set only.
    Texture glow;
    loadTexture(glow, quadrantBmp());
    SpriteSet set;
    set.addPoint({0.0f, 0.0f, 0.0f});
    set.setTexture(&glow);
    ParticlePool pool;
    pool.setTexture(&glow);
    pool.emit({0.0f, 0.0f, -10.0f}, {}, 1.0f, 1.0f, white);
    const Placement ahead = placementAt({0.0f, 0.0f, -10.0f});
    struct Case {
        const char* name;
        std::function<void()> draw;
        bool depthTestAfter;
    };
    const Case cases[] = {{"sprite set", [&] { device.drawSpriteSet(ahead, origin, set); }, true},
                          {"particles", [&] { device.drawParticles(origin, origin, pool); }, false}};
    for (const Case& c : cases) {
        const std::pair<const char*, void (*)()> priors[] = {{"on", everythingOn}, {"off", everythingOff}};
        for (auto [before, prepare] : priors) {
            for (bool smooth : {false, true}) {
                prepare();
                device.smoothTextures = smooth;
                c.draw();
                const std::string where = std::string(c.name) + " after everything " + before;
                EXPECT_TRUE(glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_FOG)) << where;
                EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_BLEND)) << where;
                EXPECT_EQ(bool(glIsEnabled(GL_DEPTH_TEST)), c.depthTestAfter) << where;
                GLboolean depthWrites = GL_FALSE;
                glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
                EXPECT_TRUE(depthWrites) << where;
                EXPECT_EQ(std::pair(floats(GL_BLEND_SRC, 1)[0], floats(GL_BLEND_DST, 1)[0]), std::pair(1.0f, 1.0f)) << where;
                // The sprites' texture filtered as the device's smoothing says.
                EXPECT_EQ(minFilter(), smooth ? GL_LINEAR : GL_NEAREST) << where;
            }
        }
    }
}

TEST_F(RenderTest, SpritesAddTheirColourIgnoringDepthLightingAndFog) {
    // A grey frame whose depth buffer is everywhere nearer than the sprites, with
    // lighting, depth testing and a red fog on but blending off, and the sprites far
    // enough away (110 units: fog half way) for the fog to show if it were on. Each
    // sprite adds its colour to the grey, alpha ignored.
    SpriteSet set;
    set.addPoint({0.0f, 0.0f, 0.0f});
    set.setSize(22.0f);
    set.setColor({0.5f, 0.25f, 0.0f, 0.5f});
    ParticlePool pool;
    pool.emit({0.0f, 0.0f, -110.0f}, {}, 22.0f, 1.0f, {0.5f, 0.25f, 0.0f, 0.0f});
    const Placement far = placementAt({0.0f, 0.0f, -110.0f});
    const std::function<void()> draws[] = {[&] { device.drawSpriteSet(far, origin, set); },
                                           [&] { device.drawParticles(origin, origin, pool); }};
    device.setBackground(0.2f, 0.2f, 0.2f, 1.0f);
    for (const auto& draw : draws) {
        device.beginFrame();
        glClearDepth(0.0);
        glClear(GL_DEPTH_BUFFER_BIT);
        glClearDepth(1.0);
        everythingOn();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);  // the sprites turn blending on themselves
        const GLfloat red[4] = {1.0f, 0.0f, 0.0f, 1.0f};
        glFogfv(GL_FOG_COLOR, red);
        draw();
        EXPECT_TRUE(isAbout(readPixel(WIDTH / 2, HEIGHT / 2), Rgb(51 + 128, 51 + 64, 51), 2));
    }
}
