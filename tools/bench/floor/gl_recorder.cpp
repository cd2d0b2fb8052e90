#include "gl_recorder.h"

#include <GL/gl.h>

#include <bit>
#include <cstdint>

namespace {

bool recording = false;
const char* unreplayable = nullptr;  // the first call met that cannot be replayed
FrameRecording current;

void put(std::uint32_t word) { current.words.push_back(word); }
void put(FloorOp op) { put(std::uint32_t(op)); }
void putFloat(GLfloat value) { put(std::bit_cast<std::uint32_t>(value)); }
void putInt(GLint value) { put(std::bit_cast<std::uint32_t>(value)); }
void putDouble(GLdouble value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    put(std::uint32_t(bits));
    put(std::uint32_t(bits >> 32));
}
void putValues(const GLfloat* values, int count) {
    put(std::uint32_t(count));
    for (int i = 0; i < count; ++i) {
        putFloat(values[i]);
    }
}

void noteUnreplayable(const char* name) {
    if (recording && unreplayable == nullptr) {
        unreplayable = name;
    }
}

}  // namespace

void beginRecording() {
    current.words.clear();
    unreplayable = nullptr;
    recording = true;
}

bool endRecording(FrameRecording& out, std::string& error) {
    recording = false;
    out = current;
    if (unreplayable != nullptr) {
        error = std::string("the frame calls ") + unreplayable + ", which a replay cannot repeat";
        return false;
    }
    return true;
}

void recordOperation(FloorOp op) {
    if (recording) {
        put(op);
    }
}

// The wrappers: __wrap_glX receives every call of glX in the program, __real_glX is the
// OpenGL entry point itself. One definition per shape of recorded_gl_calls.inc.
#define ORVEL_WRAP(name, params, args, record)     \
    extern "C" void __real_##name params;          \
    extern "C" void __wrap_##name params {         \
        if (recording) {                           \
            put(FloorOp::name);                    \
            record                                 \
        }                                          \
        __real_##name args;                        \
    }
#define ORVEL_WRAP_V(name) ORVEL_WRAP(name, (), (), )
#define ORVEL_WRAP_E(name) ORVEL_WRAP(name, (GLenum a), (a), put(a);)
#define ORVEL_WRAP_EE(name) ORVEL_WRAP(name, (GLenum a, GLenum b), (a, b), put(a); put(b);)
#define ORVEL_WRAP_EI(name) ORVEL_WRAP(name, (GLenum a, GLint b), (a, b), put(a); putInt(b);)
#define ORVEL_WRAP_EF(name) ORVEL_WRAP(name, (GLenum a, GLfloat b), (a, b), put(a); putFloat(b);)
#define ORVEL_WRAP_EEF(name) \
    ORVEL_WRAP(name, (GLenum a, GLenum b, GLfloat c), (a, b, c), put(a); put(b); putFloat(c);)
#define ORVEL_WRAP_B(name) ORVEL_WRAP(name, (GLboolean a), (a), put(a);)
#define ORVEL_WRAP_F2(name) ORVEL_WRAP(name, (GLfloat a, GLfloat b), (a, b), putFloat(a); putFloat(b);)
#define ORVEL_WRAP_F3(name) \
    ORVEL_WRAP(name, (GLfloat a, GLfloat b, GLfloat c), (a, b, c), putFloat(a); putFloat(b); putFloat(c);)
#define ORVEL_WRAP_F4(name)                                                               \
    ORVEL_WRAP(name, (GLfloat a, GLfloat b, GLfloat c, GLfloat d), (a, b, c, d), putFloat(a); \
               putFloat(b); putFloat(c); putFloat(d);)
#define ORVEL_WRAP_I4(name)                                                                   \
    ORVEL_WRAP(name, (GLint a, GLint b, GLsizei c, GLsizei d), (a, b, c, d), putInt(a); putInt(b); \
               putInt(c); putInt(d);)
#define ORVEL_WRAP_D6(name)                                                                         \
    ORVEL_WRAP(name, (GLdouble a, GLdouble b, GLdouble c, GLdouble d, GLdouble e, GLdouble f),      \
               (a, b, c, d, e, f), putDouble(a); putDouble(b); putDouble(c); putDouble(d); putDouble(e); \
               putDouble(f);)
#define ORVEL_WRAP_EFV(name) \
    ORVEL_WRAP(name, (GLenum a, const GLfloat* v), (a, v), put(a); putValues(v, fogValueCount(a));)
#define ORVEL_WRAP_EEFV(name)                                                  \
    ORVEL_WRAP(name, (GLenum a, GLenum b, const GLfloat* v), (a, b, v), put(a); put(b); \
               putValues(v, materialValueCount(b));)
#define ORVEL_WRAP_FV2(name) ORVEL_WRAP(name, (const GLfloat* v), (v), putValues(v, 2);)
#define ORVEL_WRAP_FV16(name) ORVEL_WRAP(name, (const GLfloat* v), (v), putValues(v, 16);)
#define ORVEL_FLOOR_CALL(name, shape) ORVEL_WRAP_##shape(name)
#define ORVEL_FLOOR_UNREPLAYABLE(name)
#include "recorded_gl_calls.inc"
#undef ORVEL_FLOOR_CALL
#undef ORVEL_FLOOR_UNREPLAYABLE

// The calls a replay cannot repeat: they make or read objects and pixels.
extern "C" {
void __real_glDeleteTextures(GLsizei n, const GLuint* textures);
void __real_glGenTextures(GLsizei n, GLuint* textures);
const GLubyte* __real_glGetString(GLenum name);
void __real_glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                         GLvoid* pixels);
void __real_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                         GLint border, GLenum format, GLenum type, const GLvoid* pixels);

void __wrap_glDeleteTextures(GLsizei n, const GLuint* textures) {
    noteUnreplayable("glDeleteTextures");
    __real_glDeleteTextures(n, textures);
}
void __wrap_glGenTextures(GLsizei n, GLuint* textures) {
    noteUnreplayable("glGenTextures");
    __real_glGenTextures(n, textures);
}
const GLubyte* __wrap_glGetString(GLenum name) {
    noteUnreplayable("glGetString");
    return __real_glGetString(name);
}
void __wrap_glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                         GLvoid* pixels) {
    noteUnreplayable("glReadPixels");
    __real_glReadPixels(x, y, width, height, format, type, pixels);
}
void __wrap_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                         GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    noteUnreplayable("glTexImage2D");
    __real_glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
}
}
