#include "support/child_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace benchtest {

ChildProcess::ChildProcess(const std::function<int()> &body) {
    std::fflush(nullptr);
    pid_ = fork();
    if (pid_ == 0) _exit(body());
}

ChildProcess::~ChildProcess() {
    if (!reaped_ && pid_ > 0) wait(0);
}

int ChildProcess::wait(double seconds) {
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (!reaped_) {
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            reaped_ = true;
            code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        } else if (Clock::now() >= deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            reaped_ = true;
            code_ = -1;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    return code_;
}

void ChildProcess::signal(int number) const {
    if (!reaped_) kill(pid_, number);
}

}  // namespace benchtest
