#pragma once
#include "platform/handles.h"
#include "scene/math.h"
#include "common/queue.h"
