// The test harness's own promise: an external program never holds a test for longer than its limit.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <chrono>

#include "support/child_process.h"

namespace {

using benchtest::Command;
using benchtest::RunResult;
using benchtest::run_command;

TEST(TimeLimit, AProgramRunningPastItsLimitIsKilledAndNamed) {
    auto start = std::chrono::steady_clock::now();
    RunResult result;
    EXPECT_NONFATAL_FAILURE(result = run_command(Command({"sleep", "30"}), 0.5), "killed: sleep 30");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(result.exit_code, 128 + 15);  // ended by SIGTERM
}

TEST(TimeLimit, AProgramEndingInTimeGivesItsOutputAndCode) {
    RunResult result = run_command(Command({"sh", "-c", "echo out; echo err >&2; exit 3"}), 10);
    EXPECT_EQ(result.exit_code, 3);
    EXPECT_EQ(result.out, "out\n");
    EXPECT_EQ(result.err, "err\n");
}

}  // namespace
