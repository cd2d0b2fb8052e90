#include "platform/instance.h"

InstanceHandle instanceHandle = nullptr;
