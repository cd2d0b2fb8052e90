// The soak's frame counter, preloaded into the saver: glXSwapBuffers passed through, and
// the running count rewritten in place at the start of $SOAK_SWAP_FILE, fixed width, so
// that a reader always finds one whole number. tools/soak.sh builds it at each run.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

typedef void (*SwapFn)(void*, unsigned long);
static unsigned long long swaps;
static int out = -1;

void glXSwapBuffers(void* display, unsigned long drawable) {
    static SwapFn real;
    if (!real) real = (SwapFn)dlsym(RTLD_NEXT, "glXSwapBuffers");
    if (real) real(display, drawable);
    ++swaps;
    if (out == -1) {
        const char* path = getenv("SOAK_SWAP_FILE");
        out = path ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -2;
        if (out < 0) out = -2;
    }
    if (out >= 0) {
        char line[32];
        int n = snprintf(line, sizeof line, "%20llu\n", swaps);
        if (pwrite(out, line, (size_t)n, 0) < 0) out = -2;
    }
}
