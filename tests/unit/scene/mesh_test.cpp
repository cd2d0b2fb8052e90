#include <gtest/gtest.h>

#include <utility>

#include "scene/mesh.h"

namespace {
const Color4 gridColor = {0.2f, 0.1f, 0.4f, 0.5f};

double windingY(const Mesh& m, int t) {
    const MeshTriangle& tri = m.triangles[t];
    const Vec3 a = m.vertices[tri.index[0]].position;
    const Vec3 b = m.vertices[tri.index[1]].position;
    const Vec3 c = m.vertices[tri.index[2]].position;
    return cross(b - a, c - a).y;
}
}  // namespace

TEST(Mesh, GridCountsPositionsAndTexCoordsBeforeScaling) {
    Mesh m;
    EXPECT_EQ(m.buildGrid(10, 200, gridColor), 100);
    EXPECT_EQ(m.triangleCount, 162);
    EXPECT_EQ(m.vertices[0].position, (Vec3{-100, 0, -100}));
    EXPECT_EQ(m.vertices[99].position, (Vec3{80, 0, 80}));
    EXPECT_EQ(m.vertices[0].u, 0.0f);
    EXPECT_EQ(std::pair(m.vertices[99].u, m.vertices[99].v), std::pair(0.9f, 0.9f));
    EXPECT_EQ(m.vertices[12].position, (Vec3{-60, 0, -80}));  // row 1, column 2
    for (int i = 0; i < m.vertexCount; ++i) {
        ASSERT_EQ(m.vertices[i].normal, (Vec3{0, 1, 0}));
        ASSERT_EQ(m.vertices[i].color, gridColor);
    }
}

TEST(Mesh, GridWindingFacesUp) {
    Mesh m;
    m.buildGrid(10, 200, gridColor);
    // Counter-clockwise seen from +y: every face normal (b - a) x (c - a) points up.
    for (int t = 0; t < m.triangleCount; ++t) {
        ASSERT_GT(windingY(m, t), 0.0) << "triangle " << t;
    }
}

