#include <gtest/gtest.h>

#include "scene/motes.h"

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
}

