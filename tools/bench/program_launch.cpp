#include "program_launch.h"

#include <fcntl.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace {

constexpr char LAUNCH_NAME[] = "ORVEL_PROBE_LAUNCH_NS=";
constexpr int LAUNCH_DIGITS = 20;
constexpr int REPORT_FD = 3;

bool sameName(const char* entry, const std::string& assignment) {
    const std::size_t equals = assignment.find('=');
    return std::strncmp(entry, assignment.c_str(), equals + 1) == 0;
}

// Digits of value, zero-padded to the full width, without a terminator.
void writeDigits(char* out, std::uint64_t value) {
    for (int i = LAUNCH_DIGITS - 1; i >= 0; --i) {
        out[i] = char('0' + value % 10);
        value /= 10;
    }
}

}  // namespace

std::uint64_t monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint64_t(now.tv_sec) * 1000000000u + std::uint64_t(now.tv_nsec);
}

bool launchProgram(const std::string& path, const std::vector<std::string>& args,
                   const std::vector<std::string>& extraEnvironment, const std::string& stderrPath,
                   bool reportPipe, LaunchedProgram& launched) {
    // Everything the child needs is made before fork: after it, only system calls.
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        bool replaced = std::strncmp(*entry, LAUNCH_NAME, sizeof LAUNCH_NAME - 1) == 0;
        for (const std::string& extra : extraEnvironment) replaced = replaced || sameName(*entry, extra);
        if (!replaced) environment.push_back(*entry);
    }
    for (const std::string& extra : extraEnvironment) environment.push_back(extra);
    environment.push_back(std::string(LAUNCH_NAME) + std::string(LAUNCH_DIGITS, '0'));
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    char* launchDigits = environment.back().data() + (sizeof LAUNCH_NAME - 1);

    std::vector<std::string> copies = args;
    std::vector<char*> argv;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);

    int fds[2] = {-1, -1};
    if (reportPipe && pipe2(fds, O_CLOEXEC) != 0) return false;
    const int errorFile = open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int nullFile = open("/dev/null", O_WRONLY | O_CLOEXEC);
    std::fflush(nullptr);
    launched.launchNs = monotonicNs();
    const pid_t pid = fork();
    if (pid == 0) {
        if (nullFile >= 0) dup2(nullFile, STDOUT_FILENO);
        if (errorFile >= 0) dup2(errorFile, STDERR_FILENO);
        if (reportPipe) {
            if (fds[1] == REPORT_FD) {
                fcntl(REPORT_FD, F_SETFD, 0);
            } else {
                dup2(fds[1], REPORT_FD);  // the copy is not closed on exec
            }
        }
        writeDigits(launchDigits, monotonicNs());
        execve(path.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    if (errorFile >= 0) close(errorFile);
    if (nullFile >= 0) close(nullFile);
    if (reportPipe) close(fds[1]);
    if (pid < 0) {
        if (reportPipe) close(fds[0]);
        return false;
    }
    launched.pid = pid;
    launched.reportFd = reportPipe ? fds[0] : -1;
    return true;
}

bool readLine(int fd, int timeoutMs, std::string& line) {
    line.clear();
    const std::uint64_t deadline = monotonicNs() + std::uint64_t(timeoutMs) * 1000000u;
    pollfd source{fd, POLLIN, 0};
    for (;;) {
        const std::uint64_t now = monotonicNs();
        if (now >= deadline) return false;
        const int ready = poll(&source, 1, int((deadline - now) / 1000000u) + 1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char c = 0;
        const ssize_t got = read(fd, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        if (c == '\n') return true;
        line += c;
    }
}
