#pragma once
// The program's module: where its bitmap (and, on Windows, dialog) resources are found.
#include "shell/handles.h"

extern InstanceHandle instanceHandle;
