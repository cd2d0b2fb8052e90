// glibc's heap settings for the OpenGL bindings on Linux.
#include "platform/posix/heap_tuning.h"

#include <malloc.h>

namespace {
// Blocks below this come from the heap. It sits well above the driver's per-frame buffers;
// larger blocks (textures, a framebuffer) are made once and are still mapped.
constexpr int MMAP_THRESHOLD = 4 << 20;
// Free memory at the top of the heap is given back only beyond this: twice the threshold,
// the ratio glibc keeps itself when it adapts the threshold.
constexpr int TRIM_THRESHOLD = 2 * MMAP_THRESHOLD;
}  // namespace

void keepLargeBlocksOnTheHeap() {
    mallopt(M_MMAP_THRESHOLD, MMAP_THRESHOLD);
    mallopt(M_TRIM_THRESHOLD, TRIM_THRESHOLD);
}
