#include "frame_size.h"

#include <cstdio>

bool parseFrameSize(const char* text, int& width, int& height) {
    char tail = 0;
    if (std::sscanf(text, "%dx%d%c", &width, &height, &tail) != 2) {
        return false;
    }
    return width >= 1 && width <= 16384 && height >= 1 && height <= 16384;
}
