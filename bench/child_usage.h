// Runs programs as a user would, each a whole process (or a pipeline of them) under a time limit,
// and measures what the user pays for it: wall time, user + system CPU time and each program's
// peak memory, as wait4 reports them.
#pragma once
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace benchchild {

using Argv = std::vector<std::string>;

struct Job {
    std::vector<Argv> stages;       // one program, or a pipeline: each one's output is the next one's input
    std::string dir;                // every stage's working directory
    std::string out = "/dev/null";  // the last stage's standard output, relative to dir
    std::string err = "/dev/null";  // every stage's standard error, relative to dir
    double limit_seconds = 120;     // the stages still running then are killed
};

struct Usage {
    double wall_seconds = 0;
    double cpu_seconds = 0;       // user + system time of all the stages
    std::vector<long> peak_kb;    // each stage's peak resident memory
    std::vector<int> exit_codes;  // 128 + the signal for a stage ended by one
    bool timed_out = false;

    long peak_sum_kb() const {
        long sum = 0;
        for (long kb : peak_kb) sum += kb;
        return sum;
    }
    bool succeeded() const {
        for (int code : exit_codes)
            if (code != 0) return false;
        return !timed_out;
    }
};

namespace detail {

[[noreturn]] inline void die(const char *what) {
    std::perror(what);
    std::exit(1);
}

inline std::string in_dir(const Job &job, const std::string &name) {
    return name[0] == '/' ? name : job.dir + "/" + name;
}

inline int open_or_die(const std::string &path, int flags) {
    int fd = open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) die(path.c_str());
    return fd;
}

// In the child: joins the job's process group, takes its descriptors (all others are close-on-exec,
// so that a pipe's reader sees its end) and becomes the stage's program.
[[noreturn]] inline void exec_stage(const Job &job, const Argv &argv, int in, int out, int err, pid_t group,
                                    const sigset_t &mask) {
    setpgid(0, group);
    sigprocmask(SIG_SETMASK, &mask, nullptr);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (chdir(job.dir.c_str()) != 0) _exit(127);
    std::vector<char *> args;
    for (const std::string &arg : argv) args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    std::fprintf(stderr, "cannot run %s\n", args[0]);
    _exit(127);
}

inline double seconds(const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; }

}  // namespace detail

// Runs the job to its end, or kills its process group at the time limit.
inline Usage run(const Job &job) {
    using Clock = std::chrono::steady_clock;
    size_t count = job.stages.size();
    Usage usage;
    usage.peak_kb.assign(count, 0);
    usage.exit_codes.assign(count, -1);
    // SIGCHLD stays pending while blocked, so that sigtimedwait wakes as soon as a stage ends.
    sigset_t child_ended, previous;
    sigemptyset(&child_ended);
    sigaddset(&child_ended, SIGCHLD);
    sigprocmask(SIG_BLOCK, &child_ended, &previous);

    int in = detail::open_or_die("/dev/null", O_RDONLY);
    int out = detail::open_or_die(detail::in_dir(job, job.out), O_WRONLY | O_CREAT | O_TRUNC);
    int err = detail::open_or_die(detail::in_dir(job, job.err), O_WRONLY | O_CREAT | O_TRUNC);
    Clock::time_point start = Clock::now();
    std::vector<pid_t> pids;
    for (size_t i = 0; i < count; ++i) {
        bool last = i + 1 == count;
        int pipe_ends[2] = {-1, -1};
        if (!last && pipe2(pipe_ends, O_CLOEXEC) != 0) detail::die("pipe");
        pid_t group = pids.empty() ? 0 : pids[0];
        pid_t pid = fork();
        if (pid < 0) detail::die("fork");
        if (pid == 0) detail::exec_stage(job, job.stages[i], in, last ? out : pipe_ends[1], err, group, previous);
        setpgid(pid, group == 0 ? pid : group);  // here too, so that the group exists before any kill
        pids.push_back(pid);
        close(in);
        if (!last) close(pipe_ends[1]);
        in = pipe_ends[0];
    }
    close(out);
    close(err);

    Clock::time_point deadline = start + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(job.limit_seconds));
    std::vector<bool> ended(count, false);
    size_t running = count;
    while (running > 0) {
        for (size_t i = 0; i < count; ++i) {
            int status = 0;
            rusage stage = {};
            if (ended[i] || wait4(pids[i], &status, usage.timed_out ? 0 : WNOHANG, &stage) != pids[i]) continue;
            ended[i] = true;
            --running;
            usage.cpu_seconds += detail::seconds(stage.ru_utime) + detail::seconds(stage.ru_stime);
            usage.peak_kb[i] = stage.ru_maxrss;
            usage.exit_codes[i] = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (running == 0 || usage.timed_out) break;  // once killed, the waits above blocked until all ended
        auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            kill(-pids[0], SIGKILL);
            usage.timed_out = true;
            continue;
        }
        timespec wait_for = {time_t(left / 1000000000), long(left % 1000000000)};
        sigtimedwait(&child_ended, nullptr, &wait_for);
    }
    usage.wall_seconds = std::chrono::duration<double>(Clock::now() - start).count();
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    return usage;
}

}  // namespace benchchild
