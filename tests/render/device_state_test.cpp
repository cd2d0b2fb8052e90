// The rendering context: fixed state after set-up, the pixel format chosen from the
// colour depth, the two failure messages, and drawing when no context exists.
#include "render_fixture.h"
#include "scene/mesh.h"
#include "scene/sprite_set.h"

TEST_F(RenderTest, SetupLeavesTheFixedRenderState) {
    const std::pair<GLenum, bool> switches[] = {{GL_DEPTH_TEST, true}, {GL_LIGHTING, true}, {GL_FOG, true},
                                                {GL_BLEND, false},     {GL_TEXTURE_2D, false}, {GL_CULL_FACE, false}};
    for (auto [name, on] : switches) EXPECT_EQ(bool(glIsEnabled(name)), on) << std::hex << name;
    const std::pair<GLenum, GLint> integers[] = {
        {GL_CULL_FACE_MODE, GL_BACK}, {GL_SHADE_MODEL, GL_SMOOTH}, {GL_DEPTH_FUNC, GL_LEQUAL},
        {GL_UNPACK_ALIGNMENT, 1},     {GL_FOG_MODE, GL_LINEAR},    {GL_MATRIX_MODE, GL_MODELVIEW},
        {GL_FOG_START, 20},           {GL_FOG_END, 200},           {GL_RED_BITS, 8},
        {GL_DEPTH_BITS, 24}};  // the 32-bit format
    for (auto [name, value] : integers) EXPECT_EQ(floats(name, 1)[0], GLfloat(value)) << std::hex << name;
    for (GLenum name : {GL_FOG_COLOR, GL_COLOR_CLEAR_VALUE})  // violet
        EXPECT_EQ(floats(name, 4), (std::vector<GLfloat>{0.3f, 0.0f, 0.8f, 1.0f})) << std::hex << name;
    EXPECT_EQ(floats(GL_MODELVIEW_MATRIX, 16), IDENTITY_MATRIX);

    GLint wrap = 0, filter = 0, env = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(std::tuple(wrap, filter, env), std::tuple(GL_REPEAT, GL_NEAREST, GL_MODULATE));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(RenderDevice, ShallowFormatAndARefusedSecondFormat) {
    static int surface;  // a format is set once per surface
    {
        RenderDevice first;
        first.setupDevice(&surface, 16, 12, 16);
        EXPECT_EQ(std::tuple(floats(GL_RED_BITS, 1)[0], floats(GL_GREEN_BITS, 1)[0], floats(GL_DEPTH_BITS, 1)[0]),
                  std::tuple(5.0f, 6.0f, 16.0f));
    }
    testing::internal::CaptureStderr();
    RenderDevice second;
    EXPECT_TRUE(second.setupDevice(&surface, 16, 12, 32));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: SetPixelFormat sippai\n");
    EXPECT_TRUE(headlessGlContextIsCurrent());  // creation goes on; the surface keeps its format
}

TEST(RenderDevice, DrawingWithoutAContextDoesNotCrash) {
    testing::internal::CaptureStderr();
    RenderDevice device;
    EXPECT_TRUE(device.setupDevice(nullptr, 64, 48, 32));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: ChoosePixelFormat sippai\n");
    ASSERT_FALSE(headlessGlContextIsCurrent());

    Texture texture;
    loadTexture(texture, quadrantBmp());
    SpriteSet set;
    set.addPoint({0.0f, 0.0f, -10.0f});
    set.setTexture(&texture);
    Mesh mesh;
    mesh.buildGrid(4, 10.0f, {1.0f, 1.0f, 1.0f, 1.0f});
    mesh.setTexture(&texture);
    const Placement camera = placementAt({0.0f, 0.0f, 0.0f});

    device.beginFrame();
    device.drawMesh(placementAt({0.0f, 0.0f, -20.0f}), camera, mesh);
    device.drawSpriteSet(camera, camera, set);
    device.drawSprite({0.0f, 0.0f, -10.0f}, 1.0f, camera, {1.0f, 1.0f, 1.0f, 1.0f});
    EXPECT_TRUE(device.endFrame());
    EXPECT_FALSE(texture.created);  // no name could be made: left for a later context
}
