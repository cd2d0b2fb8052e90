// The scene as the saver builds and runs it, on a small headless surface: what setupScene
// leaves behind, and the overlays' timeline as seen in OpenGL state and pixels.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "frame/frame_driver.h"
#include "headless_scene.h"
#include "scene_frame_support.h"
#include "saver/frame_timer.h"
#include "saver/saver_state.h"
#include "scene/random.h"
#include "frame/scene_globals.h"

namespace {
constexpr int WIDTH = SCENE_WIDTH, HEIGHT = SCENE_HEIGHT;
WindowHandle window = nullptr;
std::uint64_t drawsAfterSetup = 0;

class SceneEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        window = startHeadlessScene(WIDTH, HEIGHT, lowDetail != 0);
        drawsAfterSetup = randomDrawCount();
    }
};

std::vector<unsigned char> readPixels() {
    std::vector<unsigned char> pixels(WIDTH * HEIGHT * 4);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
}  // namespace

WindowHandle sceneWindow() { return window; }

GLint integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

void frameAt(double t) {
    sceneTime = t;
    frameSeconds = 0.016f;
    runFrame(window);
}

TEST(SceneSetup, BuildsTheSceneFromDraws8001To8600) {
    ASSERT_NE(window, nullptr);  // a window with a current OpenGL context
    EXPECT_EQ(drawsAfterSetup, 8600u);
    EXPECT_EQ(moteCount, lowDetail ? 400 : 1000);
    EXPECT_EQ(renderDevice.background, (Color4{0.0f, 0.0f, 0.0f, 0.0f}));  // black, clear alpha
    EXPECT_TRUE(glowTexture.loaded && bannerTexture.loaded && gridTexture.loaded);
}

TEST(SceneSetup, RingsLieOnTheirCircles) {
    ASSERT_EQ(innerRing.count, 100);
    ASSERT_EQ(outerRing.count, 100);
    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(std::abs(length(innerRing.points[i]) - 5.0) < 1e-5 && std::abs(innerRing.points[i].y) < 1e-6 &&
                    std::abs(length(outerRing.points[i]) - 10.0) < 1e-5) << i;
    }
    EXPECT_EQ(innerRing.texture, &glowTexture);
    EXPECT_NEAR(innerRingPlacement.axisY.z, 0.258819, 1e-6);  // tilted by 15 degrees
}

TEST(SceneSetup, GridsAreThreeCopiesOfOneTexturedBlendedUnlitGrid) {
    for (const Mesh* grid : {&gridMesh1, &gridMesh2, &gridMesh3}) {
        EXPECT_EQ(grid->vertexCount, 100);
        EXPECT_EQ(grid->groups[0].texture, &gridTexture);
        EXPECT_TRUE(grid->groups[0].blended && grid->groups[0].textured && !grid->groups[0].lit);
        EXPECT_EQ(std::pair(grid->vertices[99].u, grid->vertices[99].v), std::pair(9.0f, 9.0f));  // ten repeats each way
    }
    EXPECT_EQ(gridPlacement1.position.y, -26.0f);
    EXPECT_EQ(gridPlacement3.position.y, 26.0f);
}

// Each test below sets the scene time of the frames it runs itself.
TEST(SceneFrames, FirstFrameIsBlack) {
    frameAt(0.0);
    const std::vector<unsigned char> pixels = readPixels();
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        ASSERT_EQ(pixels[i] | pixels[i + 1] | pixels[i + 2], 0) << "pixel " << i / 4;
    }
}

TEST(SceneFrames, FadeInEndsStrictlyAtTwoSeconds) {
    frameAt(1.999);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);  // the veil was drawn last
    frameAt(2.0);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(bannerTexture.glName));  // title still up
}

TEST(SceneFrames, TitleEndsStrictlyAtEightSeconds) {
    frameAt(7.999);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(bannerTexture.glName));
    frameAt(8.0);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(glowTexture.glName));  // the motes were drawn last
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
}

TEST(SceneFrames, LaterFramesShowTheScene) {
    for (int i = 0; i < 5; ++i) frameAt(20.0 + i * 0.016);
    int lit = 0;
    const std::vector<unsigned char> pixels = readPixels();
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        if (pixels[i] + pixels[i + 1] + pixels[i + 2] > 60) ++lit;
    }
    EXPECT_GT(lit, 20);  // rings, sparks and motes glow on black
    EXPECT_GT(particles.count, 0);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--detail=low") == 0) lowDetail = 1;
    }
    ::testing::AddGlobalTestEnvironment(new SceneEnvironment);
    return RUN_ALL_TESTS();
}
