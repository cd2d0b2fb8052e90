#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "scene/placement.h"

namespace {
void expectNear(Vec3 a, Vec3 b, double tol = 1e-6) { EXPECT_LT(length(a - b), tol); }

void expectOrthonormal(const Placement& p, double tol) {
    for (auto [a, b] : {std::pair(p.axisX, p.axisY), std::pair(p.axisY, p.axisZ), std::pair(p.axisZ, p.axisX)}) {
        EXPECT_NEAR(length(a), 1.0, tol);
        EXPECT_NEAR(dot(a, b), 0.0, tol);
    }
    EXPECT_GT(dot(cross(p.axisX, p.axisY), p.axisZ), 0.999);  // right-handed
}
}  // namespace

TEST(Placement, ManySmallTurnsStayOrthonormal) {
    Placement p{};
    p.resetAxes();
    p.rotateAbout({1, 0, 0}, 0.26179937f);
    for (int i = 0; i < 100000; ++i) {
        p.rotateAbout({0, 1, 0}, 0.0167f * 1.0053096f);
    }
    expectOrthonormal(p, 1e-5);
}

TEST(Placement, LookAtTheOriginFromPlusZ) {
    Placement eye{}, target{};
    eye.position = {0, 0, 10};
    eye.lookAt(target);
    expectNear(eye.axisZ, {0, 0, 1});
    expectNear(eye.axisX, {1, 0, 0});
    expectNear(eye.axisY, {0, 1, 0});

    // From an oblique point the eye looks along -axisZ at the target.
    eye.position = {8.9f, 26.3f, 28.8f};
    target.position = {0, 0, -15};
    eye.lookAt(target);
    expectOrthonormal(eye, 1e-6);
    const Vec3 seen = toLocal(target.position, eye);
    EXPECT_LT(std::hypot(seen.x, seen.y), 1e-4);
    EXPECT_LT(seen.z, 0.0f);
    EXPECT_GT(eye.axisY.y, 0.0f);  // up stays up
}

TEST(Placement, LocalAndWorldRoundTrip) {
    Placement p{};
    p.resetAxes();
    p.position = {3, -2, 7};
    p.rotateAbout({1, 0, 0}, 0.4f);
    p.rotateAbout({0, 1, 0}, 1.1f);
    expectNear(toLocal(p.position, p), {0, 0, 0});
    expectNear(toLocal(p.position + p.axisX, p), {1, 0, 0});
    const Vec3 q = {1.25f, -4.0f, 0.5f};
    expectNear(toLocal(p.toWorld(q), p), q, 1e-5);
}
