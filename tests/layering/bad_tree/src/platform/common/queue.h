#pragma once
#include "platform/handles.h"
#include "platform/posix/process.h"
#include "platform/x11/display.h"
