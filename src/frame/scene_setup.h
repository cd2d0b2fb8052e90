#pragma once
// Builds the whole scene on a new saver window: the rendering context, the low-detail
// choices, every placement, the textures, both rings of points and the grid planes.
#include "platform/handles.h"

void setupScene(WindowHandle window);
