// Key throughput of the headless program in mode 0: every key is an echo, an invalidation, an
// erase of the 1280 x 1024 client area and a paint. Compared with one plain fill of a surface of
// that size measured here; also the start-to-exit time and the peak memory of a run.
// The machine is shared, so the comparison uses CPU time, the best of several batches on both sides.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

struct Run {
    double seconds = 0;      // wall clock
    double cpu_seconds = 0;  // user and system time of the program
    double peak_mb = 0;
    int exit_code = -1;
};

// Runs the program headless with that many keys, its console going to /dev/null.
Run run_program(int keys) {
    std::string script;
    for (int i = 0; i < keys; ++i) script += i ? " 0" : "0";
    Clock::time_point start = Clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        int null_fd = open("/dev/null", O_WRONLY);
        dup2(null_fd, STDOUT_FILENO);
        dup2(null_fd, STDERR_FILENO);
        execl(BENCH_EXE, BENCH_EXE, "--headless", "--keys", script.c_str(), (char *)nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage = {};
    wait4(pid, &status, 0, &usage);
    Run run;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.cpu_seconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.peak_mb = usage.ru_maxrss / 1024.0;
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The best wall and CPU times of several runs, the largest peak memory.
Run best_of(int repetitions, int keys) {
    Run best = run_program(keys);
    for (int i = 1; i < repetitions; ++i) {
        Run run = run_program(keys);
        best.seconds = std::min(best.seconds, run.seconds);
        best.cpu_seconds = std::min(best.cpu_seconds, run.cpu_seconds);
        best.peak_mb = std::max(best.peak_mb, run.peak_mb);
        if (run.exit_code != 0) best.exit_code = run.exit_code;
    }
    return best;
}

double thread_cpu_seconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

// One colour row copied into every row of the surface: the fastest fill found here.
void fill(std::vector<uint32_t> &surface, uint32_t colour) {
    std::fill(surface.begin(), surface.begin() + kWidth, colour);
    for (int y = 1; y < kHeight; ++y) std::memcpy(&surface[size_t(y) * kWidth], surface.data(), kWidth * 4);
}

// One fill of a warm 32-bit surface of the client size, the least an erase can cost: the mean
// CPU time of a batch of fills, the best of several batches.
double fill_seconds() {
    const int batches = 10, fills = 500;
    std::vector<uint32_t> surface(size_t(kWidth) * kHeight, 1u);
    double best = 1e9;
    for (int b = 0; b < batches; ++b) {
        double start = thread_cpu_seconds();
        for (int i = 0; i < fills; ++i) fill(surface, 0x00FFFFFFu + uint32_t(i & 1));
        best = std::min(best, (thread_cpu_seconds() - start) / fills);
    }
    if (surface[12345] == 0) std::puts("");  // keeps the fills
    return best;
}

}  // namespace

int main() {
    const int keys = 10000;
    double fill = fill_seconds();
    Run empty = best_of(5, 0);
    Run thousand = best_of(1, 1000);
    Run full = best_of(3, keys);
    if (empty.exit_code != 0 || thousand.exit_code != 0 || full.exit_code != 0) {
        std::fprintf(stderr, "keys_bench: the program failed (exit codes %d, %d, %d)\n", empty.exit_code,
                     thousand.exit_code, full.exit_code);
        return 1;
    }
    double per_key = (full.cpu_seconds - empty.cpu_seconds) / keys;
    double keys_per_second = keys / (full.seconds - empty.seconds);
    std::printf("keys_bench: %d keys in mode 0, headless, console to /dev/null\n", keys);
    std::printf("  fill of a %dx%d 32-bit surface  %8.3f ms CPU\n", kWidth, kHeight, fill * 1e3);
    std::printf("  time per key                       %8.3f ms CPU\n", per_key * 1e3);
    std::printf("  keys per second                    %8.0f\n", keys_per_second);
    std::printf("  ratio per key / fill               %8.2f     (target <= 1.5)\n", per_key / fill);
    std::printf("  start to exit, no keys             %8.1f ms\n", empty.seconds * 1e3);
    std::printf("  peak RSS: no keys %.1f MB, 1000 keys %.1f MB, %d keys %.1f MB  (target < 40 MB, flat)\n",
                empty.peak_mb, thousand.peak_mb, keys, full.peak_mb);
    return 0;
}
