#pragma once
#include "window.h"
#include "x11/display.h"
#include "platform/cocoa/view.h"
