#pragma once
#include "math.h"
#include "gfx/texture.h"
