#pragma once
// The recording layer of orvel-floor-capture. Its program is linked with --wrap for every
// entry point in recorded_gl_calls.inc, so each OpenGL call of the program reaches a
// wrapper here first: while recording, the wrapper appends the call to the recording, and
// it always passes the call on to OpenGL.
#include <string>

#include "frame_recording.h"

// Starts a new recording of every OpenGL call made from now on.
void beginRecording();

// Stops recording and hands over the calls made since beginRecording. False, naming the
// call in error, when one of them cannot be replayed.
bool endRecording(FrameRecording& recording, std::string& error);

// Appends an operation without arguments (present) to the recording in progress.
void recordOperation(FloorOp op);
