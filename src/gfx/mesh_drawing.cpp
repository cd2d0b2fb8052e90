// Meshes through the fixed-function pipeline: the modelview matrix from the object and
// camera placements, cone culling, and triangles in immediate mode with the material
// group state switched whenever the group changes.
#include <GL/gl.h>

#include <algorithm>

#include "gfx/frame_views.h"
#include "gfx/matrix4.h"
#include "gfx/render_device.h"
#include "scene/mesh.h"

namespace {
// Cosine of the cone around the view direction inside which meshes are drawn at any
// distance; it just encloses the 4:3 frustum, whose corners are at 1/sqrt(1.25).
constexpr double VIEW_CONE_COSINE = 0.894;

bool meshIsVisible(const Placement& placement, const Placement& camera, const Mesh& mesh) {
    const Vec3 eye = toLocal(placement.position, camera);
    const Vec3 direction = normalize(eye);
    if (dot(direction, Vec3{0.0f, 0.0f, -1.0f}) >= VIEW_CONE_COSINE) {
        return true;
    }
    return length(eye) <= double(mesh.radius);
}

// View rotation: rows are the camera axes.
Matrix4 viewRotation(const Placement& camera) {
    const Vec3& x = camera.axisX;
    const Vec3& y = camera.axisY;
    const Vec3& z = camera.axisZ;
    return Matrix4{{x.x, x.y, x.z, 0.0f,
                    y.x, y.y, y.z, 0.0f,
                    z.x, z.y, z.z, 0.0f,
                    0.0f, 0.0f, 0.0f, 1.0f}};
}

// Object rotation: columns are the placement axes.
Matrix4 objectRotation(const Placement& placement) {
    const Vec3& x = placement.axisX;
    const Vec3& y = placement.axisY;
    const Vec3& z = placement.axisZ;
    return Matrix4{{x.x, y.x, z.x, 0.0f,
                    x.y, y.y, z.y, 0.0f,
                    x.z, y.z, z.z, 0.0f,
                    0.0f, 0.0f, 0.0f, 1.0f}};
}

void applyGroup(RenderDevice& device, const MaterialGroup& group) {
    static const GLfloat NO_FOG_COLOUR[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    const Color4& b = device.background;
    const GLfloat backgroundColour[4] = {b.r, b.g, b.b, b.a};

    device.context.applyMaterial(group.material);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, group.twoSided ? 1 : 0);
    device.context.applyBlendMode(group.blended, group.blendMode);
    // Additive geometry fades to nothing in the fog, opaque geometry into the background.
    glFogfv(GL_FOG_COLOR, group.blended ? NO_FOG_COLOUR : backgroundColour);
    device.context.bindTexture(group.textured && device.texturesEnabled, group.texture,
                               device.smoothTextures);
    if (group.lit) {
        glEnable(GL_LIGHTING);
    } else {
        glDisable(GL_LIGHTING);
    }
}

// The second and third vertex of a triangle; the first also carries the colour.
void submitVertex(const MeshVertex& vertex, bool textured) {
    if (textured) {
        const GLfloat texCoord[2] = {vertex.u, vertex.v};
        glTexCoord2fv(texCoord);
    }
    glNormal3f(vertex.normal.x, vertex.normal.y, vertex.normal.z);
    glVertex3f(vertex.position.x, vertex.position.y, vertex.position.z);
}

}  // namespace

bool RenderDevice::drawMesh(Placement placement, Placement camera, const Mesh& mesh) {
    if (!meshIsVisible(placement, camera, mesh)) {
        return true;
    }

    // The whole mesh on each view: its matrices and groups are set anew for each.
    drawOnEveryView(context.deviceContext, [&] {
        // Modelview = V x T(-camera) x T(position) x R: the same mapping to eye coordinates
        // that the sprites use.
        const Vec3& eye = camera.position;
        const Vec3& origin = placement.position;
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glMultMatrixf(viewRotation(camera).transposed().m);
        glTranslatef(-eye.x, -eye.y, -eye.z);
        glTranslatef(origin.x, origin.y, origin.z);
        glMultMatrixf(objectRotation(placement).transposed().m);
        glEnable(GL_FOG);

        // The mesh is read through locals: the compiler cannot know that the OpenGL calls
        // leave it alone, and would otherwise fetch every field again after each one.
        const MeshVertex* const vertices = mesh.vertices.get();
        const MeshTriangle* const triangles = mesh.triangles.get();
        const int capacity = mesh.capacity;
        const int triangleCount = vertices != nullptr && triangles != nullptr ? std::min(mesh.triangleCount, capacity) : 0;
        // An index outside 0..capacity-1 makes a triangle invalid; one unsigned comparison
        // catches both ends.
        const auto valid = [capacity](int index) { return unsigned(index) < unsigned(capacity); };

        int currentGroup = -1;
        bool textured = false;
        for (int t = 0; t < triangleCount; ++t) {
            const MeshTriangle& triangle = triangles[t];
            const int a = triangle.index[0];
            const int b = triangle.index[1];
            const int c = triangle.index[2];
            if (!valid(a) || !valid(b) || !valid(c)) {
                continue;
            }
            const MeshVertex& first = vertices[a];
            if (first.group < 0 || first.group >= Mesh::GROUP_COUNT) {
                continue;
            }
            if (first.group != currentGroup) {
                currentGroup = first.group;
                const MaterialGroup& group = mesh.groups[currentGroup];
                applyGroup(*this, group);
                textured = group.textured;
            }

            glBegin(GL_TRIANGLE_STRIP);
            if (textured) {
                const GLfloat texCoord[2] = {first.u, first.v};
                glTexCoord2fv(texCoord);
            }
            // The first vertex's colour holds for the whole triangle.
            glColor4f(first.color.r, first.color.g, first.color.b, first.color.a);
            glNormal3f(first.normal.x, first.normal.y, first.normal.z);
            glVertex3f(first.position.x, first.position.y, first.position.z);
            submitVertex(vertices[b], textured);
            submitVertex(vertices[c], textured);
            glEnd();
        }
        glLoadIdentity();
    });
    return true;
}
