#include "clock.h"
#include "platform/headless/clock.h"
#include "platform/window.h"
#include "scene/math.h"
