#include "shell/instance.h"

InstanceHandle instanceHandle = nullptr;
