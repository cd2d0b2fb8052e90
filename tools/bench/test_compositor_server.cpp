#include "test_compositor_server.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <fstream>

#include "child_wait.h"
#include "run_support.h"

std::string testCompositorPath() {
    const std::string bench = ownProgramPath();
    const std::string path = bench.substr(0, bench.rfind('/') + 1) + "tests/e2e/wayland/orvel-wayland-compositor";
    return access(path.c_str(), X_OK) == 0 ? path : std::string();
}

bool startTestCompositor(const std::string& dir, const std::vector<std::string>& args, TestCompositor& server,
                         std::string& error) {
    const std::string program = testCompositorPath();
    if (program.empty()) {
        error = "the test compositor (tests/e2e/wayland/orvel-wayland-compositor) is not built";
        return false;
    }
    server.runtime = dir + "/run";
    server.report = dir + "/compositor.out";
    mkdir(server.runtime.c_str(), 0700);
    std::vector<std::string> copies = {program};
    copies.insert(copies.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string runtimeEntry = "XDG_RUNTIME_DIR=" + server.runtime;
    char* envp[] = {const_cast<char*>(runtimeEntry.c_str()), nullptr};

    int commands[2];
    if (pipe2(commands, O_CLOEXEC) != 0) return false;
    const int out = open(server.report.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int err = open((dir + "/compositor.err").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(commands[0], STDIN_FILENO);
        if (out >= 0) dup2(out, STDOUT_FILENO);
        if (err >= 0) dup2(err, STDERR_FILENO);
        execve(program.c_str(), argv.data(), envp);
        _exit(127);
    }
    close(commands[0]);
    if (out >= 0) close(out);
    if (err >= 0) close(err);
    server.pid = pid;
    server.commandFd = commands[1];
    // Its first line: "ready SOCKET".
    for (int waited = 0; waited < 1000 && server.display.empty(); ++waited) {
        std::ifstream in(server.report);
        std::string word;
        if (in >> word && word == "ready") in >> server.display;
        const timespec pause{0, 10000000};
        if (server.display.empty()) nanosleep(&pause, nullptr);
    }
    if (pid < 0 || server.display.empty()) {
        stopTestCompositor(server);
        error = "the test compositor did not come up; see " + dir + "/compositor.err";
        return false;
    }
    return true;
}

void stopTestCompositor(TestCompositor& server) {
    if (server.commandFd >= 0) close(server.commandFd);
    server.commandFd = -1;
    if (server.pid > 0) {
        if (waitChild(server.pid, 2000) == -1) endChild(server.pid, 5000);
        server.pid = -1;
    }
}
