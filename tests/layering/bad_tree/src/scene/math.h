#pragma once
#include "scene/random.h"
#include "platform/handles.h"
