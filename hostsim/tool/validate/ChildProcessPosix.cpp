// Child processes by fork: the child runs the work in a copy of this process, its standard
// output going to a pipe that the parent reads until the child ends or the time runs out.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "hostsim/tool/validate/ChildProcess.h"

namespace hostsim::tool {

void PrepareChildProcess() {}

ChildOutcome RunInChildProcess(const std::vector<std::string>& /*childArguments*/,
                               const std::function<int()>& work, std::chrono::milliseconds limit) {
    ChildOutcome outcome;
    int channel[2];
    if (pipe(channel) != 0) {
        outcome.crash = std::string("no pipe: ") + std::strerror(errno);
        return outcome;
    }
    std::cout.flush();
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        outcome.crash = std::string("no child process: ") + std::strerror(errno);
        close(channel[0]);
        close(channel[1]);
        return outcome;
    }
    if (pid == 0) {
        close(channel[0]);
        dup2(channel[1], STDOUT_FILENO);
        close(channel[1]);
        int status = 1;
        try {
            status = work();
        } catch (...) {
            status = 1;
        }
        std::cout.flush();
        std::fflush(nullptr);
        _exit(status);
    }
    close(channel[1]);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool timedOut = false;
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd ready{channel[0], POLLIN, 0};
        const int polled =
            poll(&ready, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
        if (polled < 0 && errno != EINTR) {
            break;
        }
        if (polled <= 0) {
            continue;
        }
        const ssize_t got = read(channel[0], buffer, sizeof buffer);
        if (got <= 0) {
            break;  // the child closed its end: it has ended, or is ending
        }
        outcome.output.append(buffer, static_cast<std::size_t>(got));
    }
    close(channel[0]);
    int status = 0;
    if (timedOut) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        outcome.kind = ChildOutcome::Kind::TimedOut;
        return outcome;
    }
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        outcome.kind = ChildOutcome::Kind::Crashed;
        outcome.crash = "signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
    } else {
        outcome.kind = ChildOutcome::Kind::Exited;
        outcome.exitCode = WEXITSTATUS(status);
    }
    return outcome;
}

}  // namespace hostsim::tool
