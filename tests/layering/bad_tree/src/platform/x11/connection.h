#pragma once
#include "../handles.h"
