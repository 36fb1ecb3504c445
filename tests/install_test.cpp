// The tools as `cmake --install` gives them: the files where Linux expects them, and the installed
// bench run on the installed samples, its capture checked by the installed inspector. One test, so
// that parallel test runs do not install from the same build at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/bench_run.h"

namespace {

using benchtest::Command;
using benchtest::RunResult;
using benchtest::Workspace;

constexpr double kInstallSeconds = 60;

// Paths of the regular files under root, relative to it, sorted.
std::vector<std::string> files_under(const std::string &root) {
    std::vector<std::string> files;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files.push_back(std::filesystem::relative(entry.path(), root).string());
    std::sort(files.begin(), files.end());
    return files;
}

RunResult run_in(const std::string &dir, std::vector<std::string> argv) {
    return benchtest::run_command(Command(argv, dir), benchtest::kBenchSeconds);
}

TEST(Install, GivesWorkingToolsTheirManualPagesAndTheSamples) {
    Workspace prefix(false), ws(false);
    RunResult install = benchtest::run_command(
        Command({CMAKE_EXE, "--install", BENCH_BUILD_DIR, "--prefix", prefix.dir()}), kInstallSeconds);
    ASSERT_EQ(install.exit_code, 0) << install.out << install.err;
    std::vector<std::string> installed = {"bin/gdibench", "bin/gdibench-inspect", "share/doc/gdibench/LICENSE",
                                          "share/gdibench/123A.jpg", "share/gdibench/testA.bmp",
                                          "share/man/man1/gdibench-inspect.1", "share/man/man1/gdibench.1"};
    if (benchtest::kBenchHasWindow) installed.insert(installed.begin() + 2, "lib/gdibench/gdibench-sdl.so");
    EXPECT_EQ(files_under(prefix.dir()), installed);
    const std::string bench = prefix.path("bin/gdibench"), inspector = prefix.path("bin/gdibench-inspect");

    RunResult version = run_in("", {bench, "--version"}), inspector_version = run_in("", {inspector, "--version"});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ("gdibench-inspect" + version.out.substr(version.out.find(' ')), inspector_version.out);

    for (const char *name : {"123A.jpg", "testA.bmp"}) ws.copy_in(prefix.path(std::string("share/gdibench/") + name), name);
    RunResult run = run_in(ws.dir(), {bench, "--headless", "--keys", "1 Esc"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // The installed bench finds its window module (SDL's display-less driver needs no display).
    if (benchtest::kBenchHasWindow) {
        RunResult window = benchtest::run_command(
            Command({bench, "--window", "--keys", "Esc"}, ws.dir(), {{"SDL_VIDEODRIVER", "dummy"}}), benchtest::kBenchSeconds);
        EXPECT_EQ(window.exit_code, 0) << window.err;
    }
    // Mode 1 draws 123A.jpg over the whole client area and captures it into new.bmp.
    RunResult compare = run_in(ws.dir(), {inspector, "compare", "new.bmp", "123A.jpg"});
    EXPECT_EQ(compare.exit_code, 0) << compare.out << compare.err;
}

}  // namespace
