#pragma once
#include "../handles.h"
#include "scene/math.h"
