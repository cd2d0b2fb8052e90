// The start of the X11 and the Wayland programs and their clocks: the command line built
// from argv, the signals that end the saver, and the millisecond tick count and sleep of
// platform.h.
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>

#include "platform/platform.h"
#include "platform/posix/process.h"

namespace {

std::string commandLine = "orvel";
std::uint64_t startMicroseconds = 0;
volatile std::sig_atomic_t endRequested = 0;
int wakePipe[2] = {-1, -1};

std::uint64_t monotonicMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint64_t(now.tv_sec) * 1000000u + std::uint64_t(now.tv_nsec) / 1000u;
}

// The program name as the command line's first word: its last path component with every
// blank, control byte and double quote made an underscore, so that the argument text
// starts right after the first space.
std::string programName(const char* argv0) {
    std::string name = argv0 != nullptr ? argv0 : "";
    const std::size_t slash = name.rfind('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    for (char& c : name) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == '"') c = '_';
    }
    return name.empty() ? "orvel" : name;
}

// Only async-signal-safe work: a flag and one byte down the pipe.
void onEndSignal(int) {
    const int saved = errno;
    endRequested = 1;
    if (wakePipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = write(wakePipe[1], &byte, 1);
    }
    errno = saved;
}

}  // namespace

void posixStart(int argc, char** argv) {
    startMicroseconds = monotonicMicroseconds();
    commandLine = programName(argc > 0 ? argv[0] : nullptr);
    for (int i = 1; i < argc; ++i) {
        commandLine += ' ';
        commandLine += argv[i];
    }

    if (pipe2(wakePipe, O_NONBLOCK | O_CLOEXEC) != 0) wakePipe[0] = wakePipe[1] = -1;
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

const char* posixCommandLine() { return commandLine.c_str(); }

bool posixEndRequested() { return endRequested != 0; }

int posixWakeDescriptor() { return wakePipe[0]; }

void posixDrainWakeDescriptor() {
    char bytes[16];
    while (wakePipe[0] >= 0 && read(wakePipe[0], bytes, sizeof bytes) > 0) {
    }
}

std::uint64_t posixMicroseconds() { return monotonicMicroseconds() - startMicroseconds; }

std::uint32_t platformTickCount() { return std::uint32_t(monotonicMicroseconds() / 1000u); }

void platformSleep(std::uint32_t ms) {
    if (ms == 0) {
        sched_yield();
        return;
    }
    // At least ms, also when a signal cuts the sleep short: the loop sees the signal's
    // flag at its next message.
    timespec rest{time_t(ms / 1000u), long(ms % 1000u) * 1000000L};
    while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
    }
}
