// Meshes: cone and radius culling, the modelview chain, group state switching, and the
// blend modes and materials that the groups turn into OpenGL state.
#include "render_fixture.h"

#include <cmath>

#include "scene/mesh.h"

static const Placement origin = placementAt({0.0f, 0.0f, 0.0f});

static std::vector<GLfloat> floats(GLenum name, int count) {
    std::vector<GLfloat> value(16, 0.0f);
    glGetFloatv(name, value.data());
    value.resize(count);
    return value;
}

static std::vector<GLfloat> identityMatrix() {
    std::vector<GLfloat> m(16, 0.0f);
    for (int i = 0; i < 4; ++i) m[i * 5] = 1.0f;
    return m;
}

// drawMesh enables fog whenever it draws, so fog tells whether it was culled.
static bool meshWasDrawn(RenderDevice& device, Vec3 at, float radius = 1000.0f) {
    Mesh mesh;
    mesh.radius = radius;
    glDisable(GL_FOG);
    device.drawMesh(placementAt(at), origin, mesh);
    return glIsEnabled(GL_FOG);
}

TEST_F(RenderTest, MeshCullingByConeAndRadius) {
    const float sin30 = 0.5f, cos30 = std::sqrt(3.0f) / 2.0f;
    EXPECT_TRUE(meshWasDrawn(device, {0.0f, 0.0f, -2000.0f}));
    EXPECT_FALSE(meshWasDrawn(device, {2000.0f * sin30, 0.0f, -2000.0f * cos30}));
    EXPECT_TRUE(meshWasDrawn(device, {0.0f, 0.0f, 500.0f}));  // behind, within the radius
    EXPECT_FALSE(meshWasDrawn(device, {0.0f, 0.0f, 1500.0f}));
    for (auto [cosine, drawn] : {std::pair{0.8945, true}, std::pair{0.8935, false}}) {
        const float s = float(std::sqrt(1.0 - cosine * cosine));
        EXPECT_EQ(meshWasDrawn(device, {0.0f, 2000.0f * s, float(-2000.0 * cosine)}), drawn) << cosine;
    }
    EXPECT_TRUE(meshWasDrawn(device, {0.0f, 100.0f, 0.0f}, 100.0f));
    EXPECT_FALSE(meshWasDrawn(device, {0.0f, 101.0f, 0.0f}, 100.0f));
    EXPECT_EQ(floats(GL_MODELVIEW_MATRIX, 16), identityMatrix());
}

TEST_F(RenderTest, MeshVerticesLandWhereSpritesWould) {
    Placement camera = placementAt({3.0f, 4.0f, 20.0f});
    camera.lookAt(placementAt({0.0f, 0.0f, 0.0f}));
    Placement object = placementAt({1.0f, 2.0f, -3.0f});
    object.rotateAbout({0.0f, 1.0f, 0.0f}, 0.7f);
    object.rotateAbout({1.0f, 0.0f, 0.0f}, 0.3f);
    Mesh mesh;
    const Vec3 local[3] = {{-2.0f, 0.0f, 1.0f}, {2.0f, 1.0f, 0.0f}, {0.0f, 3.0f, -1.0f}};
    for (Vec3 q : local) mesh.addVertex(q, {0.0f, 1.0f, 0.0f}, 0.0f, 0.0f, {1.0f, 1.0f, 1.0f, 1.0f});
    mesh.addTriangle(0, 1, 2);

    const auto vertices = feedbackVertices([&] { device.drawMesh(object, camera, mesh); });
    ASSERT_EQ(vertices.size(), 3u);
    for (Vec3 q : local) {
        const Vec3 e = toLocal(object.toWorld(q), camera);
        const WindowPoint expected = windowPoint((e.x / -e.z / 0.4 + 1.0) * WIDTH / 2, (e.y / -e.z / 0.3 + 1.0) * HEIGHT / 2);
        const auto nearest = vertices.lower_bound({expected.first - 10, 0});  // within 0.01 pixel
        ASSERT_NE(nearest, vertices.end());
        EXPECT_NEAR(nearest->first, expected.first, 10);
        EXPECT_NEAR(nearest->second, expected.second, 10);
    }
    EXPECT_EQ(floats(GL_MODELVIEW_MATRIX, 16), identityMatrix());
}

TEST_F(RenderTest, TriangleTakesTheColourOfItsFirstVertex) {
    Mesh mesh;
    mesh.setGroupFlags(false, false, false);
    const Color4 colours[3] = {{1.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 1.0f, 1.0f}};
    const Vec3 corners[3] = {{-4.0f, -4.0f, -5.0f}, {4.0f, -4.0f, -5.0f}, {0.0f, 4.0f, -5.0f}};
    for (int k = 0; k < 3; ++k) mesh.addVertex(corners[k], {0.0f, 0.0f, 1.0f}, 0.0f, 0.0f, colours[k]);
    mesh.addTriangle(0, 1, 2);
    device.beginFrame();
    device.drawMesh(origin, origin, mesh);
    const Rgba p = readPixel(40, 28);
    EXPECT_EQ(std::tuple(p.r, p.g, p.b), std::tuple(255, 0, 0));
}

TEST_F(RenderTest, GroupStateIsAppliedWheneverTheGroupChanges) {
    Texture texture;
    loadTexture(texture, quadrantBmp());
    Mesh mesh;
    Material glow;
    glow.diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
    glow.ambientScale = 0.5f;
    mesh.groups[0] = {false, false, true, true, glow, nullptr, 2};         // unlit, blended, two-sided
    mesh.groups[1] = {true, true, false, false, Material{}, &texture, 3};  // lit, textured, opaque
    for (int group : {0, 1}) {
        mesh.currentGroup = group;
        for (int k = 0; k < 3; ++k) mesh.addVertex({float(k), 0.0f, -5.0f}, {0, 0, 1}, 0.25f * k, 0.5f, {1, 1, 1, 1});
    }
    device.texturesEnabled = false;
    device.setBackground(0.1f, 0.2f, 0.3f, 0.4f);

    mesh.addTriangle(0, 1, 2);
    mesh.addTriangle(3, 4, 5);
    device.drawMesh(origin, origin, mesh);  // ends in group 1
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(texture.created);  // textures off: coordinates given, nothing bound
    EXPECT_EQ(floats(GL_CURRENT_TEXTURE_COORDS, 2), (std::vector<GLfloat>{0.5f, 0.5f}));
    EXPECT_EQ(floats(GL_FOG_COLOR, 4), (std::vector<GLfloat>{0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(floats(GL_LIGHT_MODEL_TWO_SIDE, 1)[0], 0.0f);

    mesh.triangles[0] = {{3, 4, 5}};
    mesh.triangles[1] = {{0, 1, 2}};
    device.texturesEnabled = true;
    device.drawMesh(origin, origin, mesh);  // ends in group 0
    EXPECT_TRUE(texture.created);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(floats(GL_BLEND_SRC, 1)[0], GL_SRC_ALPHA);
    EXPECT_EQ(floats(GL_FOG_COLOR, 4), std::vector<GLfloat>(4, 0.0f));
    EXPECT_EQ(floats(GL_LIGHT_MODEL_TWO_SIDE, 1)[0], 1.0f);
    GLfloat ambient[4];
    glGetMaterialfv(GL_BACK, GL_AMBIENT, ambient);
    EXPECT_EQ(std::vector<GLfloat>(ambient, ambient + 4), (std::vector<GLfloat>{0.25f, 0.125f, 0.5f, 0.5f}));
}

TEST_F(RenderTest, BlendModes) {
    auto blendFunction = [] { return std::pair(GLint(floats(GL_BLEND_SRC, 1)[0]), GLint(floats(GL_BLEND_DST, 1)[0])); };
    const std::pair<int, std::pair<GLint, GLint>> modes[] = {
        {1, {GL_ONE, GL_ONE}}, {2, {GL_SRC_ALPHA, GL_ONE}}, {3, {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}}};
    for (auto [mode, function] : modes) {
        glDisable(GL_DEPTH_TEST);
        device.context.applyBlendMode(true, mode);
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_EQ(blendFunction(), function) << mode;
    }
    for (int unknown : {0, 5, 7, -1}) {
        device.context.applyBlendMode(true, unknown);
        EXPECT_EQ(blendFunction(), std::pair(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)) << unknown;
    }
    device.context.applyBlendMode(false, 1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // Mode 4 asks for GL_SRC_COLOR as source factor: OpenGL 1.1 refuses it and keeps the
    // previous function, newer implementations (Mesa among them) accept it.
    device.context.applyBlendMode(true, 2);
    device.context.applyBlendMode(true, 4);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    if (glGetError() == GL_INVALID_ENUM) {
        EXPECT_EQ(blendFunction(), std::pair(GL_SRC_ALPHA, GL_ONE));
    } else {
        EXPECT_EQ(blendFunction(), std::pair(GL_SRC_COLOR, GL_ONE));
    }
}

TEST_F(RenderTest, MaterialOnBothFaces) {
    Material m;
    m.diffuse = {0.5f, 1.0f, 0.25f, 0.5f};
    m.specular = {0.125f, 0.25f, 0.5f, 1.0f};
    m.shininess = 32.0f;
    m.ambientScale = 0.5f;
    device.context.applyMaterial(m);
    for (GLenum face : {GL_FRONT, GL_BACK}) {
        GLfloat ambient[4], diffuse[4], specular[4], shininess = 0.0f;
        glGetMaterialfv(face, GL_AMBIENT, ambient);
        glGetMaterialfv(face, GL_DIFFUSE, diffuse);
        glGetMaterialfv(face, GL_SPECULAR, specular);
        glGetMaterialfv(face, GL_SHININESS, &shininess);
        EXPECT_EQ(std::vector<GLfloat>(ambient, ambient + 4), (std::vector<GLfloat>{0.25f, 0.5f, 0.125f, 0.25f}));
        EXPECT_EQ(std::vector<GLfloat>(diffuse, diffuse + 4), (std::vector<GLfloat>{0.5f, 1.0f, 0.25f, 0.5f}));
        EXPECT_EQ(std::vector<GLfloat>(specular, specular + 4), (std::vector<GLfloat>{0.125f, 0.25f, 0.5f, 1.0f}));
        EXPECT_EQ(shininess, 32.0f);
    }
}
