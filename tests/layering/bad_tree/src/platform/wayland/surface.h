#pragma once
#include "platform/window_system.h"
#include "shell/main.h"
