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
    const Vec3 r = rotateAboutAxis({1, 0, 0}, {0, 0, 1}, HALF_PI_F);
    EXPECT_NEAR(r.x, 0.0, 1e-6);
    EXPECT_NEAR(r.y, 1.0, 1e-6);
    EXPECT_NEAR(r.z, 0.0, 1e-6);
    // A point off the axis keeps its foot on the axis and its radius.
    const Vec3 s = rotateAboutAxis({2, 5, 0}, {0, 1, 0}, PI_F);
    EXPECT_NEAR(s.x, -2.0, 1e-5);
    EXPECT_NEAR(s.y, 5.0, 1e-6);
    EXPECT_NEAR(s.z, 0.0, 1e-5);
}

TEST(Math, RotateAboutAxisDegenerateCases) {
    const Vec3 p = {1.5f, -2.0f, 3.0f};
    EXPECT_EQ(rotateAboutAxis(p, {0, 0, 0}, 1.0f), p);              // zero axis
    EXPECT_EQ(rotateAboutAxis({0, 2, 0}, {0, 1, 0}, 0.7f), (Vec3{0, 2, 0}));  // on the axis
    EXPECT_EQ(rotateAboutAxis({0, 0, 0}, {0, 1, 0}, 0.7f), (Vec3{0, 0, 0}));  // the origin
    const Vec3 unchanged = rotateAboutAxis(p, {0, 1, 0}, 0.0f);
    EXPECT_NEAR(unchanged.x, p.x, 1e-6);
    EXPECT_NEAR(unchanged.z, p.z, 1e-6);
}
