#include "child_wait.h"

#include <signal.h>
#include <sys/wait.h>
#include <time.h>

#include <cerrno>

namespace {

long long nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

int exitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

}  // namespace

int waitChild(pid_t pid, int timeoutMs) {
    const long long deadline = nowMs() + timeoutMs;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return exitCodeOf(status);
        if (done < 0 && errno != EINTR) return -1;
        if (nowMs() >= deadline) return -1;
        const timespec pause{0, 2000000};
        nanosleep(&pause, nullptr);
    }
}

int endChild(pid_t pid, int graceMs) {
    kill(pid, SIGTERM);
    int code = waitChild(pid, graceMs);
    if (code == -1) {
        kill(pid, SIGKILL);
        code = waitChild(pid, 5000);
    }
    return code;
}
