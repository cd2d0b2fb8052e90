#pragma once
#include "frame/driver.h"
#include "shell/main.h"
#include <tools/render/png.h>
