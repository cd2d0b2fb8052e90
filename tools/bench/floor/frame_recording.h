#pragma once
// One frame's OpenGL calls as a flat array of 32-bit words, and their replay.
//
// Each call is its operation code followed by its arguments, one word each (a double takes
// two), floats kept bit for bit. A call with a pointer carries the count of values it
// points at, then the values. A last `present` operation stands for the buffer swap that
// ends the frame.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/handles.h"

enum class FloorOp : std::uint32_t {
#define ORVEL_FLOOR_CALL(name, shape) name,
#define ORVEL_FLOOR_UNREPLAYABLE(name)
#include "recorded_gl_calls.inc"
#undef ORVEL_FLOOR_CALL
#undef ORVEL_FLOOR_UNREPLAYABLE
    present,  // swapBuffers on the device context
};

// Where a run of recorded frames came from, and what the first one drew.
struct CaptureInfo {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t low = 0;
    std::int32_t firstFrame = 0;  // counted from 1, as orvel-render counts
    double sceneTime = 0.0;       // the scene time the first frame was drawn at
    std::uint64_t pixelHash = 0;  // FNV-1a of the first frame's RGBA pixels, bottom row first
};

struct FrameRecording {
    std::vector<std::uint32_t> words;
};

// What a recording holds: OpenGL calls (the final present not counted), glVertex3f calls
// among them, and glBegin/glEnd pairs.
struct RecordingSummary {
    std::uint64_t calls = 0;
    std::uint64_t vertices = 0;
    std::uint64_t primitives = 0;
};

// Values behind the pointer of glFogfv and glMaterialfv for a parameter name: 4 for a
// colour, 3 for the colour indexes, 1 for everything else.
int fogValueCount(std::uint32_t pname);
int materialValueCount(std::uint32_t pname);

// Walks the words: false, with the reason in error, unless they are whole operations.
bool summarizeRecording(const FrameRecording& recording, RecordingSummary& summary, std::string& error);

// Makes every call of a recording that summarizeRecording accepts, in order, on the current
// context; present shows dc's back buffer.
void replayFrame(const FrameRecording& recording, DeviceContext dc);

// FNV-1a over bytes.
std::uint64_t hashBytes(const unsigned char* bytes, std::size_t count);

// The binary form passed from orvel-floor-capture to orvel-floor: a tag, the capture info,
// the number of frames and each frame's words after their count, in this machine's byte
// order.
bool writeRecordings(std::FILE* out, const CaptureInfo& info, const std::vector<FrameRecording>& frames);
bool readRecordings(const std::string& bytes, CaptureInfo& info, std::vector<FrameRecording>& frames,
                    std::string& error);
