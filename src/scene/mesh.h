#pragma once
// An indexed triangle mesh of fixed capacity whose drawing state lives in up to eight
// material groups, and the square-grid builder that makes the scene's glowing planes.
// A mesh owns its two arrays; it is copied only by copyTo, never implicitly.
#include <cstdint>
#include <memory>

#include "scene/math.h"

struct Texture;

struct Material {
    Color4 diffuse = {0.0f, 0.0f, 0.0f, 0.0f};
    Color4 specular = {0.0f, 0.0f, 0.0f, 0.0f};
    float shininess = 1.0f;
    float ambientScale = 0.0f;  // ambient = diffuse * ambientScale
};

struct MaterialGroup {
    bool textured = false;
    bool lit = true;
    bool blended = false;
    bool twoSided = false;
    Material material;
    Texture* texture = nullptr;
    std::int32_t blendMode = 1;
};

struct MeshVertex {
    std::int32_t group;
    Vec3 position;
    Vec3 normal;
    Color4 color;
    float u, v;
};

struct MeshTriangle {
    std::int32_t index[3];
};

struct Mesh {
    static constexpr int DEFAULT_CAPACITY = 1000;
    static constexpr int GROUP_COUNT = 8;
    static constexpr int MAX_GRID = 100;

    std::int32_t capacity = DEFAULT_CAPACITY;
    std::int32_t vertexCount = 0;
    std::int32_t triangleCount = 0;
    std::unique_ptr<MeshVertex[]> vertices;
    std::unique_ptr<MeshTriangle[]> triangles;
    MaterialGroup groups[GROUP_COUNT];
    std::int32_t currentGroup = 0;
    float radius = 1000.0f;

    Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // The new vertex's index; on a full mesh nothing is stored and the last index comes back.
    int addVertex(Vec3 position, Vec3 normal, float u, float v, Color4 color);
    // The new triangle's index; on a full mesh nothing is stored and the last index comes back.
    int addTriangle(int i0, int i1, int i2);
    // An n x n grid of vertices spaced size/n apart in the local x-z plane, facing +y,
    // two triangles per cell. n is clamped to 2..100. Returns vertexCount.
    int buildGrid(int n, float size, Color4 color);

    // The editing operations act on every vertex, or the settings, of the current group.
    int scaleTexCoords(float su, float sv);
    int shiftTexCoords(float du, float dv);
    int setVertexColors(Color4 c);
    int setMaterial(const Material& m);
    void setTexture(Texture* t);
    int setGroupFlags(bool lit, bool blended, bool textured);
    int setBlendMode(int mode);

    // Makes dst an independent copy: same fields, arrays of its own.
    int copyTo(Mesh& dst) const;
};
