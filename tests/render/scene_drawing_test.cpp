// What the frame draws of its own, seen through feedback mode and OpenGL state: the
// title and fade-in overlays, the motes' squares, the state the motes are drawn in, and
// the grids' group state as the scene set-up configures it.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "frame/frame_driver.h"
#include "frame/overlays.h"
#include "frame/scene_animation.h"
#include "frame/scene_globals.h"
#include "saver/saver_state.h"
#include "scene/motes.h"
#include "scene_frame_support.h"

// Read by LeakSanitizer in sanitizer builds: Mesa's software rasteriser never frees the
// buffers of feedback mode.
extern "C" const char* __lsan_default_suppressions() { return "leak:swrast_dri.so\n"; }

namespace {
constexpr double W = SCENE_WIDTH;
constexpr double H = SCENE_HEIGHT;

// A vertex as feedback mode reports it: window position, colour and texture coordinate.
struct Fed {
    double x, y, r, g, b, a, s, t;
};

// Every vertex of the polygons that the draw submits and that survive clipping. OpenGL
// may hand a polygon back as several triangles, so a corner can come more than once.
std::vector<Fed> feedbackVertices(void (*draw)(double), double argument) {
    static GLfloat buffer[1 << 16];
    glFeedbackBuffer(1 << 16, GL_4D_COLOR_TEXTURE, buffer);
    glRenderMode(GL_FEEDBACK);
    draw(argument);
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<Fed> vertices;
    for (GLint i = 0; i < used;) {
        if (GLint(buffer[i++]) != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token";
            break;
        }
        for (GLint n = GLint(buffer[i++]); n > 0; --n, i += 12) {
            const GLfloat* v = buffer + i;  // x y z w, r g b a, s t r q
            vertices.push_back({v[0], v[1], v[4], v[5], v[6], v[7], v[8], v[9]});
        }
    }
    return vertices;
}

// The vertices at window position (x, y), within tolerance; none when nothing is there.
std::vector<Fed> at(const std::vector<Fed>& vertices, double x, double y, double tolerance) {
    std::vector<Fed> found;
    for (const Fed& v : vertices) {
        if (std::abs(v.x - x) <= tolerance && std::abs(v.y - y) <= tolerance) found.push_back(v);
    }
    return found;
}

// How many distinct window positions the vertices have, to 0.001 pixel.
std::size_t distinctPositions(const std::vector<Fed>& vertices) {
    std::set<std::pair<long, long>> positions;
    for (const Fed& v : vertices) positions.insert({std::lround(v.x * 1000), std::lround(v.y * 1000)});
    return positions.size();
}

// Window position of an eye point under a frustum of half-width sx and half-height sy
// at distance 1.
std::pair<double, double> project(double x, double y, double z, double sx = 0.4, double sy = 0.3) {
    return {(x / -z / sx + 1.0) * W / 2, (y / -z / sy + 1.0) * H / 2};
}

std::pair<GLint, GLint> filters() {
    GLint mag = 0, min = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    return {mag, min};
}

// Filtering of every texture: linear, or nearest in low detail.
std::pair<GLint, GLint> detailFilters() {
    return lowDetail ? std::pair<GLint, GLint>(GL_NEAREST, GL_NEAREST) : std::pair<GLint, GLint>(GL_LINEAR, GL_LINEAR);
}

// The opposite of what the overlays and the motes want, so that each switch they make
// shows.
void contraryState() {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);
    glDisable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_ZERO);
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.05f, 0.03f, -0.2f);
}

bool isIdentity(GLenum matrix) {
    GLfloat m[16];
    glGetFloatv(matrix, m);
    for (int i = 0; i < 16; ++i) {
        if (m[i] != (i % 5 == 0 ? 1.0f : 0.0f)) return false;
    }
    return true;
}
}  // namespace

TEST(SceneOverlays, TitleFadesFromFullBrightnessAtFourSecondsToNothingAtEight) {
    ASSERT_NE(sceneWindow(), nullptr);
    // Eye corners and texture coordinates: a 0.4 x 0.2 quad in the lower right at depth
    // 1.5, the banner the right way up.
    struct Corner {
        double x, y, z, s, t;
    };
    const Corner corners[4] = {{0.15, -0.21, -1.5, 0, 1}, {0.55, -0.21, -1.5, 1, 1},
                               {0.55, -0.41, -1.5, 1, 0}, {0.15, -0.41, -1.5, 0, 0}};
    // Brightness (8 - T) / 4, clamped to 1 by the colour pipeline.
    const std::pair<double, double> brightness[] = {{0.0, 1.0}, {3.9, 1.0}, {4.5, 0.875}, {6.0, 0.5}, {7.9, 0.025}};
    for (auto [t, c] : brightness) {
        contraryState();
        const std::vector<Fed> drawn = feedbackVertices(drawTitleOverlay, t);
        EXPECT_EQ(distinctPositions(drawn), 4u) << "T = " << t;
        for (int k = 0; k < 4; ++k) {
            const auto [x, y] = project(corners[k].x, corners[k].y, corners[k].z);
            const std::vector<Fed> found = at(drawn, x, y, 1e-3);
            EXPECT_FALSE(found.empty()) << "T = " << t << ", corner " << k + 1 << " not at " << x << ", " << y;
            for (const Fed& v : found) {
                EXPECT_EQ(std::pair(v.s, v.t), std::pair(corners[k].s, corners[k].t)) << "corner " << k + 1;
                EXPECT_LE(std::max({std::abs(v.r - c), std::abs(v.g - c), std::abs(v.b - c), 1.0 - v.a}), 1e-5)
                    << "T = " << t;
            }
        }
        // Left behind: the banner bound and on, additive blending, no depth test or
        // lighting, the identity model-view matrix.
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D) && glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST) || glIsEnabled(GL_LIGHTING));
        EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(bannerTexture.glName));
        EXPECT_EQ(std::pair(integer(GL_BLEND_SRC), integer(GL_BLEND_DST)), std::pair(GL_ONE, GL_ONE));
        EXPECT_EQ(filters(), detailFilters());
        EXPECT_TRUE(isIdentity(GL_MODELVIEW_MATRIX));
    }
}

TEST(SceneOverlays, FadeInVeilsTheWholeViewFromBlackToNothingInTwoSeconds) {
    ASSERT_NE(sceneWindow(), nullptr);
    // A view twice as wide as the saver's, so that the veil, which fills the saver's view
    // exactly, lands in the middle half unclipped.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.8, 0.8, -0.6, 0.6, 1.0, 400.0);
    glMatrixMode(GL_MODELVIEW);
    const std::pair<double, double> corners[4] = {
        {W / 4, 3 * H / 4}, {3 * W / 4, 3 * H / 4}, {3 * W / 4, H / 4}, {W / 4, H / 4}};
    // Alpha (2 - T) / 2.
    const std::pair<double, double> alphas[] = {{0.0, 1.0}, {0.5, 0.75}, {1.9, 0.05}};
    for (auto [t, alpha] : alphas) {
        contraryState();
        glEnable(GL_TEXTURE_2D);
        glLoadIdentity();  // the title overlay loads it before the veil is drawn
        const std::vector<Fed> drawn = feedbackVertices(drawFadeInOverlay, t);
        EXPECT_EQ(distinctPositions(drawn), 4u) << "T = " << t;
        for (int k = 0; k < 4; ++k) {
            const std::vector<Fed> found = at(drawn, corners[k].first, corners[k].second, 1e-3);
            EXPECT_FALSE(found.empty()) << "T = " << t << ", corner " << k + 1;
            for (const Fed& v : found) {
                EXPECT_EQ(std::tuple(v.r, v.g, v.b), std::tuple(0.0, 0.0, 0.0));
                EXPECT_NEAR(v.a, alpha, 1e-6) << "T = " << t;
            }
        }
        // Left behind: untextured, blended over what is there, no depth test or lighting.
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_DEPTH_TEST) || glIsEnabled(GL_LIGHTING));
        EXPECT_EQ(std::pair(integer(GL_BLEND_SRC), integer(GL_BLEND_DST)),
                  std::pair(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA));
    }
    renderDevice.context.setProjection(SCENE_WIDTH, SCENE_HEIGHT);
}

TEST(SceneMotes, EachIsAHalfUnitSquareOnAUnitCircleAboutItsBasePoint) {
    ASSERT_NE(sceneWindow(), nullptr);
    // Seen from the origin down -z, after a step of 0.25 s: the base point rises by 1.25,
    // the angle grows by 0.25 (less 2 pi past it), and the square of edge 0.5 is drawn
    // about (x + cos angle, y, z + sin angle) in the mote's colour.
    const Mote chosen[3] = {{{0.5f, -0.4f, -6.0f}, 0.3f, {0.9f, 0.5f, 0.8f, 1.0f}},
                            {{-1.0f, 0.6f, -9.0f}, 2.0f, {0.6f, 0.7f, 0.95f, 1.0f}},
                            {{1.2f, 0.2f, -12.0f}, 6.2f, {0.55f, 0.35f, 0.75f, 1.0f}}};
    Mote saved[3];
    std::copy(motes, motes + 3, saved);
    std::copy(chosen, chosen + 3, motes);
    const Placement savedCamera = camera;
    const int savedCount = moteCount;
    camera.resetAxes();
    camera.position = {0.0f, 0.0f, 0.0f};
    moteCount = 3;
    contraryState();
    glLoadIdentity();
    glDisable(GL_LIGHTING);

    const std::vector<Fed> drawn = feedbackVertices([](double dt) { animateMotes(float(dt)); }, 0.25);
    EXPECT_EQ(distinctPositions(drawn), 12u);
    for (int i = 0; i < 3; ++i) {
        const Mote& m = chosen[i];
        double angle = double(m.angle) + 0.25;
        if (angle > 6.283185) angle -= 6.283185;
        const double x = m.basePosition.x + std::cos(angle);
        const double y = m.basePosition.y + 1.25;
        const double z = m.basePosition.z + std::sin(angle);
        const std::pair<double, double> corners[4] = {project(x - 0.25, y + 0.25, z), project(x + 0.25, y + 0.25, z),
                                                      project(x + 0.25, y - 0.25, z), project(x - 0.25, y - 0.25, z)};
        for (int k = 0; k < 4; ++k) {
            const std::vector<Fed> found = at(drawn, corners[k].first, corners[k].second, 2e-3);
            EXPECT_FALSE(found.empty()) << "mote " << i << ", corner " << k + 1 << " not at " << corners[k].first
                                        << ", " << corners[k].second;
            for (const Fed& v : found) {
                EXPECT_LE(std::max({std::abs(v.r - m.color.r), std::abs(v.g - m.color.g), std::abs(v.b - m.color.b)}),
                          1e-6) << "mote " << i;
            }
        }
    }
    std::copy(saved, saved + 3, motes);
    camera = savedCamera;
    moteCount = savedCount;
}

TEST(SceneFrames, MotesAreDrawnAdditivelyUnlitFoglessAndGlowing) {
    // After the overlays' time the motes are the frame's last draw, so their state is
    // what the frame leaves.
    ASSERT_NE(sceneWindow(), nullptr);
    frameAt(20.0);
    EXPECT_TRUE(glIsEnabled(GL_BLEND) && glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(std::pair(integer(GL_BLEND_SRC), integer(GL_BLEND_DST)), std::pair(GL_ONE, GL_ONE));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST) || glIsEnabled(GL_LIGHTING) || glIsEnabled(GL_FOG));
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(glowTexture.glName));
    EXPECT_EQ(filters(), detailFilters());
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);  // every sprite draw gives depth writes back
    EXPECT_TRUE(isIdentity(GL_MODELVIEW_MATRIX));
    EXPECT_EQ(std::vector<GLfloat>(4, 0.0f), [] {  // the frame cleared to the black background
        std::vector<GLfloat> clear(4);
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
        return clear;
    }());
}

TEST(SceneGrids, DrawnAdditiveUnlitAndTexturedWithTheirMaterial) {
    ASSERT_NE(sceneWindow(), nullptr);
    Placement eye{};
    eye.resetAxes();
    eye.position = {0.0f, 10.0f, 60.0f};
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    renderDevice.drawMesh(gridPlacement1, eye, gridMesh1);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_BLEND) && glIsEnabled(GL_FOG) && glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(std::pair(integer(GL_BLEND_SRC), integer(GL_BLEND_DST)), std::pair(GL_ONE, GL_ONE));
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(gridTexture.glName));
    EXPECT_EQ(filters(), detailFilters());
    std::vector<GLfloat> value(4);
    glGetFloatv(GL_FOG_COLOR, value.data());
    EXPECT_EQ(value, std::vector<GLfloat>(4, 0.0f));  // blended groups fade to nothing
    for (GLenum face : {GL_FRONT, GL_BACK}) {
        glGetMaterialfv(face, GL_DIFFUSE, value.data());
        EXPECT_EQ(value, (std::vector<GLfloat>{1.0f, 0.0f, 0.0f, 0.3f}));
        for (GLenum part : {GL_AMBIENT, GL_SPECULAR}) {
            glGetMaterialfv(face, part, value.data());
            EXPECT_EQ(value, std::vector<GLfloat>(4, 0.0f));
        }
        glGetMaterialfv(face, GL_SHININESS, value.data());
        EXPECT_EQ(value[0], 5.0f);
    }
    EXPECT_TRUE(isIdentity(GL_MODELVIEW_MATRIX));
}
