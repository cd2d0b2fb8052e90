// The frame bracket: background into effect, buffers cleared, colour reset.
#include "render_fixture.h"

static float depthAt(int x, int y) {
    GLfloat depth = -1.0f;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return depth;
}

TEST_F(RenderTest, BeginFrameClearsToTheBackground) {
    glColor3f(0.1f, 0.2f, 0.3f);
    device.beginFrame();
    for (auto [x, y] : {std::pair{0, 0}, std::pair{WIDTH - 1, HEIGHT - 1}, std::pair{40, 30}}) {
        const Rgba p = readPixel(x, y);
        EXPECT_EQ(std::tuple(p.r, p.g, p.b), std::tuple(0, 0, 51));  // default (0, 0, 0.2, 1)
        EXPECT_EQ(depthAt(x, y), 1.0f);
    }
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(std::vector<GLfloat>(colour, colour + 4), std::vector<GLfloat>(4, 1.0f));

    device.setBackground(0.2f, 0.4f, 0.6f, 1.0f);
    device.beginFrame();
    const Rgba p = readPixel(10, 10);
    EXPECT_EQ(std::tuple(p.r, p.g, p.b), std::tuple(51, 102, 153));
    GLfloat fog[4];
    glGetFloatv(GL_FOG_COLOR, fog);
    EXPECT_EQ(std::vector<GLfloat>(fog, fog + 4), (std::vector<GLfloat>{0.2f, 0.4f, 0.6f, 1.0f}));
    EXPECT_TRUE(device.endFrame());
    EXPECT_EQ(readPixel(10, 10).b, 153);
}

TEST_F(RenderTest, ClearBuffersKeepsDepthWhenAskedTo) {
    glClearDepth(0.5);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    device.context.clearDepth = false;
    device.context.clearBuffers();
    EXPECT_NEAR(depthAt(5, 5), 0.5f, 1e-6);
    device.context.clearDepth = true;
    device.context.clearBuffers();
    EXPECT_EQ(depthAt(5, 5), 1.0f);
}
