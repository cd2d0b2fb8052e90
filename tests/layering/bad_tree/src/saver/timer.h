#pragma once
#include "platform/window.h"
