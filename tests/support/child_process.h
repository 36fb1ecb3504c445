// A process a test starts beside itself (the bench, or a neighbour acting on its files). It is
// ended by its time limit at the latest: killed and reaped, never waited for without end.
#pragma once
#include <sys/types.h>

#include <functional>

namespace benchtest {

class ChildProcess {
public:
    // Runs body in a child process; what it returns is the exit code.
    explicit ChildProcess(const std::function<int()> &body);
    ~ChildProcess();  // kills it if it still runs
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // The exit code (128 + the signal that ended it), or -1 when it still ran after `seconds`
    // and was killed.
    int wait(double seconds);
    void signal(int number) const;
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int code_ = -1;
    bool reaped_ = false;
};

}  // namespace benchtest
