#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "scene/math.h"

TEST(Math, ZeroAndNaNHaveNoDirection) {
    EXPECT_EQ(normalize({0, 0, 0}), (Vec3{0, 0, 0}));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(normalize({nan, 1, 0}), (Vec3{0, 0, 0}));
    EXPECT_EQ(clampToZero(nan), 0.0f);
}

TEST(Math, RotateAboutAxisTurnsCounterClockwise) {
    EXPECT_LT(length(rotateAboutAxis({1, 0, 0}, {0, 0, 1}, HALF_PI_F) - Vec3{0, 1, 0}), 1e-6);
    // A point off the axis keeps its foot on the axis and its radius.
    EXPECT_LT(length(rotateAboutAxis({2, 5, 0}, {0, 1, 0}, PI_F) - Vec3{-2, 5, 0}), 1e-5);
}
