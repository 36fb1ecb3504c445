// External programs started by tests (the bench, Xvfb, xdotool, ImageMagick), each under a time
// limit, so that no test can wait forever: one still running at its limit is killed and the test
// fails with a message naming the command.
#pragma once
#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace benchtest {

struct RunResult {
    int exit_code = -1;  // 128 + the signal for a program ended by one
    std::string out;     // standard output (the bench's console lines)
    std::string err;
    long peak_kb = 0;    // the program's peak resident memory, as wait4 reports it
    double cpu_seconds = 0;  // the CPU time it used, user and system, as wait4 reports it
};

// Variables set in the child; an empty value removes the variable.
using Env = std::vector<std::pair<std::string, std::string>>;

struct Command {
    Command(std::vector<std::string> argv, std::string dir = "", Env env = {})
        : argv(std::move(argv)), dir(std::move(dir)), env(std::move(env)) {}

    std::vector<std::string> argv;  // argv[0] is looked up on PATH
    std::string dir;                // the working directory; empty: the test's own
    Env env;
};

// A started program in a process group of its own, its standard input empty and its output going to
// files. A program still running when the object goes is ended: SIGTERM, then SIGKILL.
class ChildProcess {
public:
    explicit ChildProcess(const Command &command);
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // The exit code once the program has ended, or -1 while it still runs after `seconds`.
    int wait(double seconds);
    // Waits at most `seconds` for the end; a program still running then is killed and the test fails.
    RunResult finish(double seconds);
    std::string out() const;
    std::string err() const;
    // The CPU time, user and system, the program has used so far, while it runs; -1 once it has ended.
    double cpu_seconds() const;
    // Sends the signal to the program's process group, while it runs.
    void kill(int signal) const;
    const std::string &command_line() const { return command_line_; }

private:
    void end();

    std::string command_line_;
    int out_fd_ = -1;  // unnamed temporary files, gone when closed
    int err_fd_ = -1;
    pid_t pid_ = -1;
    bool done_ = false;
    int exit_code_ = -1;
    long peak_kb_ = 0;
    double cpu_seconds_ = 0;
};

// Runs a command to its end, at most `seconds`.
RunResult run_command(const Command &command, double seconds);

}  // namespace benchtest
