// The frame bracket: background into effect, buffers cleared, colour reset.
#include "render_fixture.h"

TEST_F(RenderTest, BeginFrameClearsToTheBackground) {
    device.beginFrame();
    EXPECT_EQ(readPixel(40, 30), Rgb(0, 0, 51));  // the default background (0, 0, 0.2, 1)

    device.setBackground(0.2f, 0.4f, 0.6f, 1.0f);
    for (bool keepDepth : {false, true}) {
        glColor3f(0.1f, 0.2f, 0.3f);
        glClearDepth(0.5);
        glClear(GL_DEPTH_BUFFER_BIT);
        glClearDepth(1.0);
        device.context.clearDepth = !keepDepth;
        device.beginFrame();
        for (auto [x, y] : {std::pair{0, 0}, std::pair{WIDTH - 1, HEIGHT - 1}, std::pair{40, 30}}) {
            EXPECT_EQ(readPixel(x, y), Rgb(51, 102, 153));
            GLfloat depth = -1.0f;
            glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
            EXPECT_NEAR(depth, keepDepth ? 0.5f : 1.0f, 1e-6) << keepDepth;
        }
        EXPECT_EQ(floats(GL_CURRENT_COLOR, 4), std::vector<GLfloat>(4, 1.0f));
        EXPECT_EQ(floats(GL_FOG_COLOR, 4), (std::vector<GLfloat>{0.2f, 0.4f, 0.6f, 1.0f}));
    }
}
