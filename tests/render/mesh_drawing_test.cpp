// Meshes: cone and radius culling, the modelview chain, group state switching, and the
// blend modes and materials that the groups turn into OpenGL state.
#include "render_fixture.h"

#include <cmath>

#include "scene/mesh.h"

static const Placement origin = placementAt({0.0f, 0.0f, 0.0f});

// drawMesh enables fog whenever it draws, so fog tells whether it was culled.
static bool meshWasDrawn(RenderDevice& device, Vec3 at, float radius = 1000.0f) {
    Mesh mesh;
    mesh.radius = radius;
    glDisable(GL_FOG);
    device.drawMesh(placementAt(at), origin, mesh);
    return glIsEnabled(GL_FOG);
}

TEST_F(RenderTest, MeshCullingByConeAndRadius) {
    EXPECT_TRUE(meshWasDrawn(device, {0.0f, 0.0f, -2000.0f}));
    EXPECT_TRUE(meshWasDrawn(device, {0.0f, 0.0f, 500.0f}));  // behind, within the radius
    EXPECT_FALSE(meshWasDrawn(device, {0.0f, 0.0f, 1500.0f}));
    for (auto [cosine, drawn] : {std::pair{0.8945, true}, std::pair{0.8935, false}}) {
        const float s = float(std::sqrt(1.0 - cosine * cosine));
        EXPECT_EQ(meshWasDrawn(device, {0.0f, 2000.0f * s, float(-2000.0 * cosine)}), drawn) << cosine;
    }
    EXPECT_TRUE(meshWasDrawn(device, {0.0f, 100.0f, 0.0f}, 100.0f));
    EXPECT_FALSE(meshWasDrawn(device, {0.0f, 101.0f, 0.0f}, 100.0f));
}

TEST_F(RenderTest, MeshVerticesLandWhereTheModelviewChainPutsThem) {
    Placement camera = placementAt({3.0f, 4.0f, 20.0f});
    camera.lookAt(placementAt({0.0f, 0.0f, 0.0f}));
    Placement object = placementAt({1.0f, 2.0f, -3.0f});
    object.rotateAbout({0.0f, 1.0f, 0.0f}, 0.7f);
    object.rotateAbout({1.0f, 0.0f, 0.0f}, 0.3f);
    Mesh mesh;
    mesh.setGroupFlags(false, false, false);
    const Vec3 local[3] = {{-2.0f, 0.0f, 1.0f}, {2.0f, 1.0f, 0.0f}, {0.0f, 3.0f, -1.0f}};
    const Color4 colours[3] = {{1.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 1.0f, 1.0f}};
    for (int k = 0; k < 3; ++k) mesh.addVertex(local[k], {0.0f, 1.0f, 0.0f}, 0.0f, 0.0f, colours[k]);
    mesh.addTriangle(0, 1, 2);

    const auto vertices = feedbackVertices([&] { device.drawMesh(object, camera, mesh); });
    ASSERT_EQ(vertices.size(), 3u);
    double centreX = 0.0, centreY = 0.0;
    for (Vec3 q : local) {  // the same mapping to eye coordinates as the sprites use
        const Vec3 e = toLocal(object.toWorld(q), camera);
        const WindowPoint expected =
            windowPoint((e.x / -e.z / 0.4 + 1.0) * WIDTH / 2, (e.y / -e.z / 0.3 + 1.0) * HEIGHT / 2);
        const auto nearest = vertices.lower_bound({expected.first - 10, 0});  // within 0.01 pixel
        ASSERT_NE(nearest, vertices.end());
        EXPECT_TRUE(std::abs(nearest->first - expected.first) <= 10 && std::abs(nearest->second - expected.second) <= 10);
        centreX += expected.first / 3000.0;
        centreY += expected.second / 3000.0;
    }
    EXPECT_EQ(floats(GL_MODELVIEW_MATRIX, 16), IDENTITY_MATRIX);

    // Drawn flat, the triangle takes the colour of its first vertex throughout (a little
    // fogged at this distance).
    device.beginFrame();
    device.drawMesh(object, camera, mesh);
    const auto [r, g, b] = readPixel(int(centreX), int(centreY));
    EXPECT_TRUE(r > 240 && g == 0 && b < 4) << r << "," << g << "," << b;
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
    EXPECT_FALSE(glIsEnabled(GL_BLEND) || glIsEnabled(GL_TEXTURE_2D) || texture.created);  // textures off
    EXPECT_EQ(floats(GL_FOG_COLOR, 4), (std::vector<GLfloat>{0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(floats(GL_LIGHT_MODEL_TWO_SIDE, 1)[0], 0.0f);

    mesh.triangles[0] = {{3, 4, 5}};
    mesh.triangles[1] = {{0, 1, 2}};
    device.texturesEnabled = true;
    device.drawMesh(origin, origin, mesh);  // ends in group 0
    EXPECT_TRUE(texture.created);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING) || glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND) && floats(GL_BLEND_SRC, 1)[0] == GL_SRC_ALPHA);
    EXPECT_EQ(floats(GL_FOG_COLOR, 4), std::vector<GLfloat>(4, 0.0f));
    EXPECT_EQ(floats(GL_LIGHT_MODEL_TWO_SIDE, 1)[0], 1.0f);
    GLfloat ambient[4];  // the material on both faces, ambient scaled from diffuse
    glGetMaterialfv(GL_BACK, GL_AMBIENT, ambient);
    EXPECT_EQ(std::vector<GLfloat>(ambient, ambient + 4), (std::vector<GLfloat>{0.25f, 0.125f, 0.5f, 0.5f}));
}

TEST_F(RenderTest, BlendModes) {
    auto blendFunction = [] { return std::pair(GLint(floats(GL_BLEND_SRC, 1)[0]), GLint(floats(GL_BLEND_DST, 1)[0])); };
    const std::pair<GLint, GLint> over = {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
    const std::pair<int, std::pair<GLint, GLint>> modes[] = {
        {1, {GL_ONE, GL_ONE}}, {2, {GL_SRC_ALPHA, GL_ONE}}, {3, over}, {0, over}, {5, over}, {-1, over}};
    glDisable(GL_DEPTH_TEST);
    for (auto [mode, function] : modes) {  // unknown modes keep the current function
        device.context.applyBlendMode(true, mode);
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(blendFunction(), function) << mode;
    }
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    device.context.applyBlendMode(false, 1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
