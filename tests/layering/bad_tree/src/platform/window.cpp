#include "window.h"
