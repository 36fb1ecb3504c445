// Small timing helpers for the benchmarks: best-of-N wall time and peak resident memory.
#pragma once
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace benchtime {

// Best wall time of `runs` calls of f, in milliseconds.
template <class F>
double best_ms(int runs, F f) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        f();
        auto end = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(end - start).count());
    }
    return best;
}

// Best times of two jobs measured alternately, so that both see the same machine load.
template <class F, class G>
void best_ms_interleaved(int runs, F f, G g, double *f_ms, double *g_ms) {
    *f_ms = *g_ms = 1e300;
    for (int i = 0; i < runs; ++i) {
        *f_ms = std::min(*f_ms, best_ms(1, f));
        *g_ms = std::min(*g_ms, best_ms(1, g));
    }
}

// Makes a fresh folder under /tmp, named after the benchmark, the working directory; returns its
// path, or "" when it cannot.
inline std::string enter_scratch_dir(const char *name) {
    std::string dir = std::string("/tmp/") + name + "_XXXXXX";
    return mkdtemp(&dir[0]) && chdir(dir.c_str()) == 0 ? dir : std::string();
}

// Sends stdout (the program's console lines) to /dev/null; returns the results' stdout for
// restore_stdout.
inline int silence_stdout() {
    std::fflush(stdout);
    int results = dup(1);
    dup2(open("/dev/null", O_WRONLY), 1);
    return results;
}

inline void restore_stdout(int results) {
    std::fflush(stdout);
    dup2(results, 1);
}

inline long peak_rss_kb() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

inline void report(const char *what, double ms, double baseline_ms, const char *baseline, double target) {
    double ratio = ms / baseline_ms;
    std::printf("%-44s %9.2f ms  %6.2f x %s", what, ms, ratio, baseline);
    if (target > 0) std::printf("  (target <= %.2f: %s)", target, ratio <= target ? "met" : "MISSED");
    std::printf("\n");
}

}  // namespace benchtime
