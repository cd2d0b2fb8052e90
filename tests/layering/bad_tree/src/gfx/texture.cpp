#include "gfx/texture.h"
#include "scene/math.h"
#include "platform/window.h"
#include "saver/timer.h"
