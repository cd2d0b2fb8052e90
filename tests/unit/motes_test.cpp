#include <gtest/gtest.h>

#include "scene/motes.h"
#include "scene/random.h"

TEST(Motes, FirstMoteFromTheFirstEightDraws) {
    const Mote& m = motes[0];
    EXPECT_NEAR(m.basePosition.z, -29.92, 0.005);
    EXPECT_NEAR(m.basePosition.y, 6.36, 0.005);
    EXPECT_NEAR(m.basePosition.x, -18.40, 0.005);
    EXPECT_NEAR(m.angle, 5.0815, 0.0005);
    EXPECT_NEAR(m.color.r, 0.948, 0.0005);
    EXPECT_NEAR(m.color.g, 0.545, 0.0005);
    EXPECT_NEAR(m.color.b, 0.844, 0.0005);
    EXPECT_EQ(m.color.a, 1.0f);
    EXPECT_EQ(m.basePosition.z, rangeFromDraw(-30, 30, 41));
    EXPECT_EQ(m.color.r, rangeFromDraw(0.5f, 1.0f, 29358));
}

TEST(Motes, LastMoteTakesDrawsUpTo8000) {
    // Replay draws 7993..8000 from the start value: the fill used exactly 8000.
    std::uint32_t state = lcgJump(1u, 7992);
    int draw[8];
    for (int& d : draw) {
        state = state * 214013u + 2531011u;
        d = int((state >> 16) & 0x7FFF);
    }
    const Mote& m = motes[999];
    EXPECT_EQ(m.basePosition.z, rangeFromDraw(-30, 30, draw[0]));
    EXPECT_EQ(m.basePosition.y, rangeFromDraw(-50, 50, draw[1]));
    EXPECT_EQ(m.basePosition.x, rangeFromDraw(-30, 30, draw[2]));
    EXPECT_EQ(m.angle, rangeFromDraw(0, TWO_PI_F, draw[3]));
    EXPECT_EQ(m.color.b, rangeFromDraw(0.7f, 1, draw[5]));
    EXPECT_EQ(m.color.g, rangeFromDraw(0.3f, 1, draw[6]));
    EXPECT_EQ(m.color.r, rangeFromDraw(0.5f, 1, draw[7]));
}
