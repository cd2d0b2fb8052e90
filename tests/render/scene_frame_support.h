#pragma once
// The scene that the whole-scene tests share: set up once per process on a headless
// 64 x 48 window, in the detail mode given on the command line.
#include <GL/gl.h>

#include "platform/handles.h"

inline constexpr int SCENE_WIDTH = 64;
inline constexpr int SCENE_HEIGHT = 48;

// The window the scene was set up on, with its OpenGL context current.
WindowHandle sceneWindow();

// Runs one frame drawn at scene time t, stepping by 0.016 s.
void frameAt(double t);
// One integer of OpenGL state.
GLint integer(GLenum name);
