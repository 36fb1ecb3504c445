#include "support/child_process.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace benchtest {
namespace {

using Clock = std::chrono::steady_clock;

double seconds_of(const timeval &time) { return double(time.tv_sec) + double(time.tv_usec) / 1e6; }

int unnamed_file() {
    FILE *file = tmpfile();
    if (!file) throw std::runtime_error("tmpfile failed");
    int fd = dup(fileno(file));
    fclose(file);
    return fd;
}

std::string contents(int fd) {
    std::string bytes;
    char buffer[65536];
    ssize_t n;
    while ((n = pread(fd, buffer, sizeof(buffer), off_t(bytes.size()))) > 0) bytes.append(buffer, size_t(n));
    return bytes;
}

// The program starts as from a shell: no signal is ignored or blocked because the test process
// has it so.
void default_signals() {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signal = 1; signal < NSIG; ++signal) std::signal(signal, SIG_DFL);
}

[[noreturn]] void exec_child(const Command &command, int out, int err) {
    setpgid(0, 0);
    int in = open("/dev/null", O_RDONLY);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    default_signals();
    if (!command.dir.empty() && chdir(command.dir.c_str()) != 0) _exit(127);
    for (const auto &[name, value] : command.env) {
        if (value.empty())
            unsetenv(name.c_str());
        else
            setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<std::string> copy = command.argv;
    std::vector<char *> argv;
    for (std::string &arg : copy) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    std::fprintf(stderr, "cannot run %s\n", argv[0]);
    _exit(127);
}

std::string joined(const std::vector<std::string> &argv) {
    std::string line;
    for (const std::string &arg : argv) line += (line.empty() ? "" : " ") + arg;
    return line;
}

}  // namespace

ChildProcess::ChildProcess(const Command &command)
    : command_line_(joined(command.argv)), out_fd_(unnamed_file()), err_fd_(unnamed_file()) {
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed: " + command_line_);
    if (pid_ == 0) exec_child(command, out_fd_, err_fd_);
    setpgid(pid_, pid_);  // also here, so that the group exists before any signal to it
}

ChildProcess::~ChildProcess() {
    end();
    close(out_fd_);
    close(err_fd_);
}

int ChildProcess::wait(double seconds) {
    auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (!done_) {
        int status = 0;
        rusage usage = {};
        if (wait4(pid_, &status, WNOHANG, &usage) == pid_) {
            done_ = true;
            peak_kb_ = usage.ru_maxrss;
            cpu_seconds_ = seconds_of(usage.ru_utime) + seconds_of(usage.ru_stime);
            exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        } else if (Clock::now() >= deadline) {
            return -1;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    return exit_code_;
}

RunResult ChildProcess::finish(double seconds) {
    if (wait(seconds) == -1) {
        ADD_FAILURE() << "still running after " << seconds << " s, killed: " << command_line_;
        end();
    }
    return {exit_code_, out(), err(), peak_kb_, cpu_seconds_};
}

double ChildProcess::cpu_seconds() const {
    // /proc/PID/stat: utime and stime, in clock ticks, are the 12th and 13th fields after the name.
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string line;
    if (done_ || !std::getline(stat, line) || line.rfind(')') == std::string::npos) return -1;
    std::istringstream fields(line.substr(line.rfind(')') + 1));
    std::string skipped;
    for (int i = 0; i < 11; ++i) fields >> skipped;
    long user = 0, system = 0;
    fields >> user >> system;
    return double(user + system) / sysconf(_SC_CLK_TCK);
}

std::string ChildProcess::out() const { return contents(out_fd_); }

std::string ChildProcess::err() const { return contents(err_fd_); }

void ChildProcess::kill(int signal) const {
    if (!done_) ::kill(-pid_, signal);
}

void ChildProcess::end() {
    if (done_) return;
    ::kill(-pid_, SIGTERM);
    if (wait(5) != -1) return;
    ::kill(-pid_, SIGKILL);
    wait(60);
}

RunResult run_command(const Command &command, double seconds) { return ChildProcess(command).finish(seconds); }

}  // namespace benchtest
