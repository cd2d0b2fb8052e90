#pragma once
#include "platform/x11/connection.h"
#include "connection.h"
#include "platform/handles.h"
#include "../window.h"
#include "platform/wayland/surface.h"
#include "platform/common/queue.h"
#include "../posix/process.h"
