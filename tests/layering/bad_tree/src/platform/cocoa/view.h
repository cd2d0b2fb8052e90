#pragma once
#include "platform/handles.h"
