#pragma once
#include "scene/math.h"
