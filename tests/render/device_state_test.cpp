// The rendering context: fixed state after set-up, the pixel format chosen from the
// colour depth, the two failure messages, and drawing when no context exists.
#include "render_fixture.h"
#include "scene/mesh.h"
#include "scene/particle_pool.h"
#include "scene/sprite_set.h"

static GLint integer(GLenum name) {
    GLint value[4] = {};
    glGetIntegerv(name, value);
    return value[0];
}

static std::vector<GLfloat> floats(GLenum name, int count) {
    std::vector<GLfloat> value(16, 0.0f);
    glGetFloatv(name, value.data());
    value.resize(count);
    return value;
}

TEST_F(RenderTest, SetupLeavesTheFixedRenderState) {
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(integer(GL_CULL_FACE_MODE), GL_BACK);
    EXPECT_EQ(integer(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), 1);
    EXPECT_EQ(integer(GL_FOG_MODE), GL_LINEAR);
    EXPECT_EQ(floats(GL_FOG_START, 1)[0], 20.0f);
    EXPECT_EQ(floats(GL_FOG_END, 1)[0], 200.0f);
    const std::vector<GLfloat> violet = {0.3f, 0.0f, 0.8f, 1.0f};
    EXPECT_EQ(floats(GL_FOG_COLOR, 4), violet);
    EXPECT_EQ(floats(GL_COLOR_CLEAR_VALUE, 4), violet);
    EXPECT_EQ(floats(GL_ACCUM_CLEAR_VALUE, 4), std::vector<GLfloat>(4, 0.0f));

    GLint wrap = 0, filter = 0, env = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(wrap, GL_REPEAT);
    EXPECT_EQ(filter, GL_NEAREST);
    EXPECT_EQ(env, GL_MODULATE);

    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
    std::vector<GLfloat> identity(16, 0.0f);
    for (int i = 0; i < 4; ++i) identity[i * 5] = 1.0f;
    EXPECT_EQ(floats(GL_MODELVIEW_MATRIX, 16), identity);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(RenderDevice, ProjectionIsAFixedFrustumOverTheWholeClientArea) {
    int surface = 0;
    RenderDevice device;
    device.setupDevice(&surface, 50, 40, 32);  // 5:4 still gets the 4:3 frustum
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{0, 0, 50, 40}));
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[0], 2.5f, 1e-6);       // 2 near / (right - left)
    EXPECT_NEAR(m[5], 1.0f / 0.3f, 1e-5);  // 2 near / (top - bottom)
    EXPECT_NEAR(m[10], -401.0f / 399.0f, 1e-6);
    EXPECT_NEAR(m[14], -800.0f / 399.0f, 1e-5);
    EXPECT_EQ(m[11], -1.0f);
}

TEST(RenderDevice, ColourDepthChoosesTheNearestFormat) {
    static int shallow, deep;  // two surfaces, since a format is set once per surface
    for (auto [dc, bits, red, green, depth] : {std::tuple{&shallow, 16, 5, 6, 16}, std::tuple{&deep, 32, 8, 8, 24}}) {
        RenderDevice device;
        device.setupDevice(dc, 16, 12, bits);
        GLint r = 0, g = 0, d = 0;
        glGetIntegerv(GL_RED_BITS, &r);
        glGetIntegerv(GL_GREEN_BITS, &g);
        glGetIntegerv(GL_DEPTH_BITS, &d);
        EXPECT_EQ(std::tuple(r, g, d), std::tuple(red, green, depth)) << bits << "-bit display";
    }
}

TEST(RenderDevice, RefusedPixelFormatIsReportedAndCreationGoesOn) {
    static int surface;
    { RenderDevice first; first.setupDevice(&surface, 16, 12, 16); }
    testing::internal::CaptureStderr();
    RenderDevice second;
    EXPECT_TRUE(second.setupDevice(&surface, 16, 12, 32));  // another format on the same surface
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: SetPixelFormat sippai\n");
    EXPECT_TRUE(glContextIsCurrent());  // the surface keeps its first format
    second.context.releaseContext();
    second.context.releaseContext();
    EXPECT_FALSE(glContextIsCurrent());
}

TEST(RenderDevice, DrawingWithoutAContextDoesNotCrash) {
    testing::internal::CaptureStderr();
    RenderDevice device;
    EXPECT_TRUE(device.setupDevice(nullptr, 64, 48, 32));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: ChoosePixelFormat sippai\n");
    EXPECT_FALSE(glContextIsCurrent());

    Texture texture;
    loadTexture(texture, quadrantBmp());
    SpriteSet set;
    set.addPoint({0.0f, 0.0f, -10.0f});
    set.setTexture(&texture);
    ParticlePool pool;
    pool.setTexture(&texture);
    pool.emit({0.0f, 0.0f, -10.0f}, {}, 1.0f, 1.0f, {1.0f, 1.0f, 1.0f, 1.0f});
    Mesh mesh;
    mesh.buildGrid(4, 10.0f, {1.0f, 1.0f, 1.0f, 1.0f});
    mesh.setTexture(&texture);
    const Placement camera = placementAt({0.0f, 0.0f, 0.0f});

    device.beginFrame();
    device.drawMesh(placementAt({0.0f, 0.0f, -20.0f}), camera, mesh);
    device.drawSpriteSet(camera, camera, set);
    device.drawParticles(camera, camera, pool);
    device.drawSprite({0.0f, 0.0f, -10.0f}, 1.0f, camera, {1.0f, 1.0f, 1.0f, 1.0f});
    EXPECT_TRUE(device.endFrame());
    EXPECT_FALSE(texture.created);  // no name could be made: left for a later context
}
