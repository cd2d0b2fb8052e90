#include "frame_recording.h"

#include <GL/gl.h>

#include <bit>
#include <cstring>

#include "platform/gl_binding.h"

namespace {

constexpr char TAG[8] = {'O', 'R', 'V', 'F', 'L', 'O', 'O', 'R'};
constexpr std::uint32_t FORMAT_VERSION = 1;
constexpr int MAX_POINTER_VALUES = 16;

// Words each shape takes after its operation code; pointer shapes: before the values.
#define ORVEL_SHAPE_WORDS(X) \
    X(V, 0) X(E, 1) X(EE, 2) X(EI, 2) X(EF, 2) X(EEF, 3) X(B, 1) X(F2, 2) X(F3, 3) X(F4, 4) X(I4, 4) \
    X(D6, 12) X(EFV, 2) X(EEFV, 3) X(FV2, 1) X(FV16, 1)

enum class Shape { V, E, EE, EI, EF, EEF, B, F2, F3, F4, I4, D6, EFV, EEFV, FV2, FV16 };

constexpr int fixedWords(Shape shape) {
    switch (shape) {
#define ORVEL_CASE(s, n) \
    case Shape::s:       \
        return n;
        ORVEL_SHAPE_WORDS(ORVEL_CASE)
#undef ORVEL_CASE
    }
    return 0;
}

// True for the shapes whose last fixed word counts the float values that follow.
constexpr bool carriesValues(Shape shape) {
    return shape == Shape::EFV || shape == Shape::EEFV || shape == Shape::FV2 || shape == Shape::FV16;
}

constexpr Shape SHAPES[] = {
#define ORVEL_FLOOR_CALL(name, shape) Shape::shape,
#define ORVEL_FLOOR_UNREPLAYABLE(name)
#include "recorded_gl_calls.inc"
#undef ORVEL_FLOOR_CALL
#undef ORVEL_FLOOR_UNREPLAYABLE
};
constexpr std::uint32_t CALL_OPS = sizeof SHAPES / sizeof SHAPES[0];
static_assert(CALL_OPS == std::uint32_t(FloorOp::present), "one shape per recorded call");

// Words an operation of shape S takes after its code, counted from its first argument.
template <Shape S>
std::size_t argumentWords(const std::uint32_t* arguments) {
    if constexpr (carriesValues(S)) {
        return std::size_t(fixedWords(S)) + arguments[fixedWords(S) - 1];
    } else {
        return std::size_t(fixedWords(S));
    }
}

GLfloat asFloat(std::uint32_t word) { return std::bit_cast<GLfloat>(word); }
GLint asInt(std::uint32_t word) { return std::bit_cast<GLint>(word); }
GLdouble asDouble(const std::uint32_t* words) {
    return std::bit_cast<GLdouble>(std::uint64_t(words[0]) | std::uint64_t(words[1]) << 32);
}

// The values behind a pointer argument, copied out of the word stream.
const GLfloat* values(const std::uint32_t* words, std::uint32_t count, GLfloat (&buffer)[MAX_POINTER_VALUES]) {
    for (std::uint32_t i = 0; i < count; ++i) {
        buffer[i] = asFloat(words[i]);
    }
    return buffer;
}

}  // namespace

int fogValueCount(std::uint32_t pname) { return pname == GL_FOG_COLOR ? 4 : 1; }

int materialValueCount(std::uint32_t pname) {
    switch (pname) {
    case GL_AMBIENT:
    case GL_DIFFUSE:
    case GL_SPECULAR:
    case GL_EMISSION:
    case GL_AMBIENT_AND_DIFFUSE:
        return 4;
    case GL_COLOR_INDEXES:
        return 3;
    default:
        return 1;
    }
}

bool summarizeRecording(const FrameRecording& recording, RecordingSummary& summary, std::string& error) {
    summary = {};
    const std::vector<std::uint32_t>& w = recording.words;
    std::size_t i = 0;
    while (i < w.size()) {
        const std::uint32_t op = w[i++];
        if (op == std::uint32_t(FloorOp::present)) {
            continue;
        }
        if (op >= CALL_OPS) {
            error = "unknown operation " + std::to_string(op) + " at word " + std::to_string(i - 1);
            return false;
        }
        const Shape shape = SHAPES[op];
        std::size_t need = std::size_t(fixedWords(shape));
        if (i + need > w.size()) {
            error = "operation cut short at word " + std::to_string(i - 1);
            return false;
        }
        if (carriesValues(shape)) {
            const std::uint32_t count = w[i + need - 1];
            if (count > MAX_POINTER_VALUES || i + need + count > w.size()) {
                error = "bad value count at word " + std::to_string(i - 1);
                return false;
            }
            need += count;
        }
        i += need;
        ++summary.calls;
        if (op == std::uint32_t(FloorOp::glVertex3f)) {
            ++summary.vertices;
        } else if (op == std::uint32_t(FloorOp::glBegin)) {
            ++summary.primitives;
        }
    }
    return true;
}

void replayFrame(const FrameRecording& recording, DeviceContext dc) {
    const std::uint32_t* p = recording.words.data();
    const std::uint32_t* const end = p + recording.words.size();
    GLfloat buffer[MAX_POINTER_VALUES];
    while (p != end) {
        switch (FloorOp(*p++)) {
// One case per shape: call with the arguments decoded, then step past them.
#define ORVEL_REPLAY_V(name) name();
#define ORVEL_REPLAY_E(name) name(GLenum(p[0]));
#define ORVEL_REPLAY_EE(name) name(GLenum(p[0]), GLenum(p[1]));
#define ORVEL_REPLAY_EI(name) name(GLenum(p[0]), asInt(p[1]));
#define ORVEL_REPLAY_EF(name) name(GLenum(p[0]), asFloat(p[1]));
#define ORVEL_REPLAY_EEF(name) name(GLenum(p[0]), GLenum(p[1]), asFloat(p[2]));
#define ORVEL_REPLAY_B(name) name(GLboolean(p[0]));
#define ORVEL_REPLAY_F2(name) name(asFloat(p[0]), asFloat(p[1]));
#define ORVEL_REPLAY_F3(name) name(asFloat(p[0]), asFloat(p[1]), asFloat(p[2]));
#define ORVEL_REPLAY_F4(name) name(asFloat(p[0]), asFloat(p[1]), asFloat(p[2]), asFloat(p[3]));
#define ORVEL_REPLAY_I4(name) name(asInt(p[0]), asInt(p[1]), asInt(p[2]), asInt(p[3]));
#define ORVEL_REPLAY_D6(name) \
    name(asDouble(p), asDouble(p + 2), asDouble(p + 4), asDouble(p + 6), asDouble(p + 8), asDouble(p + 10));
#define ORVEL_REPLAY_EFV(name) name(GLenum(p[0]), values(p + 2, p[1], buffer));
#define ORVEL_REPLAY_EEFV(name) name(GLenum(p[0]), GLenum(p[1]), values(p + 3, p[2], buffer));
#define ORVEL_REPLAY_FV2(name) name(values(p + 1, p[0], buffer));
#define ORVEL_REPLAY_FV16(name) name(values(p + 1, p[0], buffer));
#define ORVEL_FLOOR_CALL(name, shape)              \
    case FloorOp::name:                            \
        ORVEL_REPLAY_##shape(name)                 \
        p += argumentWords<Shape::shape>(p);       \
        break;
#define ORVEL_FLOOR_UNREPLAYABLE(name)
#include "recorded_gl_calls.inc"
#undef ORVEL_FLOOR_CALL
#undef ORVEL_FLOOR_UNREPLAYABLE
        case FloorOp::present:
            swapBuffers(dc);
            break;
        default:
            // summarizeRecording has checked every code on the way in; saying so spares
            // each call a range check.
            __builtin_unreachable();
        }
    }
}

std::uint64_t hashBytes(const unsigned char* bytes, std::size_t count) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < count; ++i) {
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    return hash;
}

bool writeRecordings(std::FILE* out, const CaptureInfo& info, const std::vector<FrameRecording>& frames) {
    const std::uint32_t version = FORMAT_VERSION;
    const std::uint64_t frameCount = frames.size();
    bool ok = std::fwrite(TAG, sizeof TAG, 1, out) == 1 && std::fwrite(&version, sizeof version, 1, out) == 1 &&
              std::fwrite(&info, sizeof info, 1, out) == 1 && std::fwrite(&frameCount, sizeof frameCount, 1, out) == 1;
    for (const FrameRecording& frame : frames) {
        const std::uint64_t count = frame.words.size();
        ok = ok && std::fwrite(&count, sizeof count, 1, out) == 1 &&
             (count == 0 || std::fwrite(frame.words.data(), sizeof(std::uint32_t), count, out) == count);
    }
    return ok && std::fflush(out) == 0;
}

namespace {

// Reads a value of type T at `at`, moving on past it; false when the bytes run out.
template <typename T>
bool take(const std::string& bytes, std::size_t& at, T& value) {
    if (bytes.size() - at < sizeof value) {
        return false;
    }
    std::memcpy(&value, bytes.data() + at, sizeof value);
    at += sizeof value;
    return true;
}

}  // namespace

bool readRecordings(const std::string& bytes, CaptureInfo& info, std::vector<FrameRecording>& frames,
                    std::string& error) {
    std::size_t at = sizeof TAG;
    std::uint32_t version = 0;
    std::uint64_t frameCount = 0;
    if (bytes.size() < sizeof TAG || std::memcmp(bytes.data(), TAG, sizeof TAG) != 0 ||
        !take(bytes, at, version) || !take(bytes, at, info) || !take(bytes, at, frameCount)) {
        error = "not a frame recording";
        return false;
    }
    if (version != FORMAT_VERSION) {
        error = "recording format " + std::to_string(version) + ", expected " + std::to_string(FORMAT_VERSION);
        return false;
    }
    frames.clear();
    for (std::uint64_t f = 0; f < frameCount; ++f) {
        std::uint64_t count = 0;
        if (!take(bytes, at, count) || count > (bytes.size() - at) / sizeof(std::uint32_t)) {
            error = "recording cut short in frame " + std::to_string(f + 1);
            return false;
        }
        FrameRecording& frame = frames.emplace_back();
        frame.words.resize(count);
        if (count != 0) {
            std::memcpy(frame.words.data(), bytes.data() + at, count * sizeof(std::uint32_t));
        }
        at += count * sizeof(std::uint32_t);
        RecordingSummary summary;
        if (!summarizeRecording(frame, summary, error)) {
            error = "frame " + std::to_string(f + 1) + ": " + error;
            return false;
        }
    }
    if (at != bytes.size()) {
        error = "bytes left over after the last frame";
        return false;
    }
    return true;
}
