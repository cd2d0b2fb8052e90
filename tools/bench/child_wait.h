#pragma once
// Waiting for and ending the programs orvel-bench starts, with deadlines.
#include <sys/types.h>

// The child's exit code once it ends (128 + the signal number when a signal ended it),
// or -1 when it still runs after timeoutMs.
int waitChild(pid_t pid, int timeoutMs);

// SIGTERM, then SIGKILL when it still runs after graceMs; returns how it ended.
int endChild(pid_t pid, int graceMs);
