#include "scene/mesh.h"

#include <algorithm>

Mesh::Mesh()
    : vertices(new MeshVertex[DEFAULT_CAPACITY]()), triangles(new MeshTriangle[DEFAULT_CAPACITY]()) {}

int Mesh::addVertex(Vec3 position, Vec3 normal, float u, float v, Color4 color) {
    if (vertexCount >= capacity) {
        return vertexCount - 1;
    }
    vertices[vertexCount] = MeshVertex{currentGroup, position, normal, color, u, v};
    return vertexCount++;
}

int Mesh::addTriangle(int i0, int i1, int i2) {
    if (triangleCount >= capacity) {
        return triangleCount - 1;
    }
    triangles[triangleCount] = MeshTriangle{{i0, i1, i2}};
    return triangleCount++;
}

int Mesh::buildGrid(int n, float size, Color4 color) {
    n = std::clamp(n, 2, MAX_GRID);
    const double half = double(size) * 0.5;
    int index[MAX_GRID][MAX_GRID];
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            // Spacing is size/n, so the grid ends one step short of +half.
            const Vec3 position = {float(j * double(size) / n - half), 0.0f,
                                   float(i * double(size) / n - half)};
            index[i][j] = addVertex(position, Vec3{0.0f, 1.0f, 0.0f}, float(double(j) / n),
                                    float(double(i) / n), color);
        }
    }
    // Two triangles per cell, both counter-clockwise seen from +y.
    for (int i = 0; i + 1 < n; ++i) {
        for (int j = 1; j < n; ++j) {
            const int e = index[i][j - 1], f = index[i + 1][j - 1];
            const int g = index[i][j], h = index[i + 1][j];
            addTriangle(e, f, g);
            addTriangle(f, h, g);
        }
    }
    return vertexCount;
}

int Mesh::scaleTexCoords(float su, float sv) {
    for (int i = 0; i < vertexCount; ++i) {
        if (vertices[i].group == currentGroup) {
            vertices[i].u *= su;
            vertices[i].v *= sv;
        }
    }
    return 1;
}

int Mesh::shiftTexCoords(float du, float dv) {
    for (int i = 0; i < vertexCount; ++i) {
        if (vertices[i].group == currentGroup) {
            vertices[i].u += du;
            vertices[i].v += dv;
        }
    }
    return 1;
}

int Mesh::setVertexColors(Color4 c) {
    for (int i = 0; i < vertexCount; ++i) {
        if (vertices[i].group == currentGroup) {
            vertices[i].color = c;
        }
    }
    return 1;
}

int Mesh::setMaterial(const Material& m) {
    groups[currentGroup].material = m;
    return 1;
}

void Mesh::setTexture(Texture* t) {
    groups[currentGroup].texture = t;
    groups[currentGroup].textured = true;
}

int Mesh::setGroupFlags(bool lit, bool blended, bool textured) {
    MaterialGroup& group = groups[currentGroup];
    group.lit = lit;
    group.blended = blended;
    group.textured = textured;
    return 1;
}

int Mesh::setBlendMode(int mode) {
    groups[currentGroup].blendMode = mode;
    return 1;
}

int Mesh::copyTo(Mesh& dst) const {
    if (&dst == this) {
        return 1;  // releasing our own arrays first would lose the data being copied
    }
    dst.vertices.reset();
    dst.triangles.reset();
    dst.capacity = capacity;
    dst.vertexCount = vertexCount;
    dst.triangleCount = triangleCount;
    std::copy(std::begin(groups), std::end(groups), std::begin(dst.groups));
    dst.currentGroup = currentGroup;
    dst.radius = radius;
    dst.vertices.reset(new MeshVertex[capacity]);
    dst.triangles.reset(new MeshTriangle[capacity]);
    std::copy(vertices.get(), vertices.get() + capacity, dst.vertices.get());
    std::copy(triangles.get(), triangles.get() + capacity, dst.triangles.get());
    return 1;
}
