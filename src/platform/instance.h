#pragma once
// The program's module: where its bitmap (and, on Windows, dialog) resources are found.
#include "platform/handles.h"

extern InstanceHandle instanceHandle;
