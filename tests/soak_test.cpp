// Soak runs of the bench: hundreds of repaints in each experiment mode leave no GDI object behind
// and take no more memory than a short run.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/bench_run.h"

using namespace benchtest;

namespace {

// A thousand repaints under the sanitizers take a minute or two on a busy machine.
constexpr double kSoakSeconds = 240;

struct Report {
    long objects = -1;
    long peak_kb = -1;
};

// Presses the mode's digit, then Shift (which repaints without changing the mode).
Report soak(int mode, int paints) {
    Workspace workspace;
    workspace.set_time_limit(kSoakSeconds);
    std::string keys = std::to_string(mode);
    for (int i = 1; i < paints; ++i) keys += " Shift";
    // No allocator quarantine under AddressSanitizer: freed memory is reused, as without it.
    RunResult run = workspace.keys(keys, {{"BENCH_REPORT", "1"}, {"ASAN_OPTIONS", "quarantine_size_mb=0"}});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    Report report;
    size_t at = run.err.rfind("gdibench: ");
    if (at == std::string::npos ||
        std::sscanf(run.err.c_str() + at, "gdibench: %ld GDI objects left; peak memory %ld kB", &report.objects,
                    &report.peak_kb) != 2)
        ADD_FAILURE() << "no report in: " << run.err;
    return report;
}

class Soak : public testing::TestWithParam<int> {};

TEST_P(Soak, RepaintsLeakNothing) {
    const int mode = GetParam();
    Report short_run = soak(mode, 20);
    Report long_run = soak(mode, 1000);
    EXPECT_EQ(short_run.objects, 0);
    EXPECT_EQ(long_run.objects, 0);
    EXPECT_LT(long_run.peak_kb - short_run.peak_kb, 8 * 1024) << "memory grows with the number of paints";
}

INSTANTIATE_TEST_SUITE_P(Modes, Soak, testing::Values(1, 2, 8, 9),
                         [](const testing::TestParamInfo<int> &info) { return "Mode" + std::to_string(info.param); });

}  // namespace
