// The shell as a user meets it: the program run headless in a fresh directory with a key script,
// its console lines, exit code, message boxes and screenshot; and the console it writes to.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "kernel/crt_calls.h"
#include "support/bench_run.h"
#include "support/png_image.h"

namespace {

using benchtest::RunResult;
using benchtest::Workspace;

const std::vector<std::string> kSamplesOnly = {"123A.jpg", "testA.bmp"};

size_t count(const std::string &text, const std::string &part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

bool starts_with(const std::string &text, const std::string &prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

bool ends_with(const std::string &text, const std::string &suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The console of a headless run that must end normally.
std::string console_of(const std::string &script) {
    Workspace ws;
    RunResult run = ws.keys(script);
    EXPECT_EQ(run.exit_code, 0) << script << "\n" << run.err;
    return run.out;
}

benchtest::RgbaImage screenshot_of(const std::string &script) {
    Workspace ws;
    RunResult run = ws.keys(script, {}, {"--screenshot", "shot.png"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    benchtest::RgbaImage image;
    EXPECT_TRUE(benchtest::read_png(ws.path("shot.png"), &image)) << script;
    return image;
}

bool all_white(const benchtest::RgbaImage &image) {
    for (size_t i = 0; i < image.rgba.size(); i += 4)
        if (image.rgba[i] != 255 || image.rgba[i + 1] != 255 || image.rgba[i + 2] != 255) return false;
    return !image.rgba.empty();
}

TEST(KeyEcho, ADigitPrintsItsCodeAndTheNewModeThenItsPaintRuns) {
    std::string out = console_of("1");
    EXPECT_TRUE(starts_with(out, "key 49\nkey_num 1\n")) << out;
    EXPECT_TRUE(ends_with(out, "\nkey 1\n")) << out;  // mode 1's paint ends with the mode
}

TEST(KeyEcho, KeypadDigitsChooseTheModeToo) {
    EXPECT_TRUE(starts_with(console_of("Num5"), "key 101\nkey_num 5\n"));
    EXPECT_EQ(console_of("num0"), "key 96\nkey_num 0\n");
}

TEST(KeyEcho, CodesFrom0x80PrintAsNegativeNumbers) {
    EXPECT_EQ(console_of("Period"), "key -66\nkey_num 0\n");
    EXPECT_EQ(console_of("0xBE,0xfe"), "key -66\nkey_num 0\nkey -2\nkey_num 0\n");
    EXPECT_EQ(console_of("0xFF"), "key -1\nkey_num 0\n");
}

TEST(KeyEcho, OtherKeysKeepTheModeAndRepaintIt) {
    EXPECT_EQ(console_of("Shift"), "key 16\nkey_num 0\n");
    std::string out = console_of("1 x");
    EXPECT_EQ(count(out, "key 88\nkey_num 1\n"), 1u) << out;
    EXPECT_EQ(count(out, "\nkey 1\n"), 2u) << out;  // two paints of mode 1
}

TEST(KeyEcho, TheSameDigitTwiceOnlyRepaints) {
    std::string out = console_of("1 1");
    EXPECT_EQ(count(out, "key 49\nkey_num 1\n"), 2u) << out;
    EXPECT_EQ(count(out, "\nkey 1\n"), 2u) << out;
    EXPECT_EQ(console_of("0 0"), "key 48\nkey_num 0\nkey 48\nkey_num 0\n");
}

TEST(KeyEcho, OffsetKeysPrintTwoLinesAndRepaintOnceEach) {
    std::string out = console_of("1 R R r E");
    EXPECT_EQ(count(out, "key 82\nkey_num 1\n"), 3u) << out;
    EXPECT_EQ(count(out, "key 69\nkey_num 1\n"), 1u) << out;
    EXPECT_EQ(count(out, "\nkey 1\n"), 5u) << out;
}

TEST(KeyEcho, OffsetKeysMoveThePictureByTenEach) {
    benchtest::RgbaImage r3e = screenshot_of("2 R R R E");
    EXPECT_EQ(r3e.rgba, screenshot_of("2 R R").rgba);  // g_val1 is 20 either way
    EXPECT_NE(r3e.rgba, screenshot_of("2 R R R").rgba);
}

TEST(Ending, EscAndQEndTheRunRightAfterTheModeLine) {
    const std::pair<const char *, const char *> cases[] = {{"Esc 1 2", "key 27\nkey_num 0\n"},
                                                           {"Q 1 2", "key 81\nkey_num 0\n"}};
    for (const auto &[script, console] : cases) {
        Workspace ws;
        RunResult run = ws.keys(script);
        EXPECT_EQ(run.exit_code, 0) << script;
        EXPECT_EQ(run.out, console);
        EXPECT_EQ(ws.files(), kSamplesOnly) << script;  // mode 1 never ran
    }
}

TEST(Ending, TheCloseBoxEndsTheRunWithExitCode0) {
    Workspace ws;
    RunResult run = ws.keys("");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, "");  // the first paint of mode 0 prints nothing
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(console_of("0"), "key 48\nkey_num 0\n");
}

TEST(StartupFailure, RegistrationShowsOneBoxAndStartsNothingElse) {
    Workspace ws;
    // Had GDI+ been started, its injected failure would be reported on stderr.
    RunResult run = ws.keys("1", {{"BENCH_FAULTS", "RegisterClassExA,CoInitialize,GdiplusStartup,CreateWindowExA"}});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err, "message box \"Error!\": Window Registration Failed!\n");
    EXPECT_EQ(run.out, "");
}

TEST(StartupFailure, WindowCreationShowsOneBox) {
    Workspace ws;
    RunResult run = ws.keys("1", {{"BENCH_FAULTS", "CreateWindowExA"}});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err, "message box \"Error!\": Window Creation Failed!\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ws.files(), kSamplesOnly);
}

TEST(StartupFailure, ComEndsTheRunSilently) {
    Workspace ws;
    RunResult run = ws.keys("1", {{"BENCH_FAULTS", "CoInitialize,CreateWindowExA"}});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err, "");  // not even the creation box: no window was attempted
    EXPECT_EQ(run.out, "");
}

TEST(StartupFailure, GdiplusLeavesTheProgramRunning) {
    Workspace ws;
    RunResult run = ws.keys("0 Esc", {{"BENCH_FAULTS", "GdiplusStartup"}});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, "key 48\nkey_num 0\nkey 27\nkey_num 0\n");
    EXPECT_EQ(run.err, "gdibench: GDI+ did not start (status 1); images cannot be loaded or saved\n");
}

TEST(Console, OneConsoleIsOpenedAndNoFileNamedConoutAppears) {
    Workspace ws;
    RunResult run = ws.keys("0 Esc");
    EXPECT_EQ(run.out, "key 48\nkey_num 0\nkey 27\nkey_num 0\n");
    EXPECT_EQ(ws.files(), kSamplesOnly);
    // When the one console cannot be had, no other is tried and the lines go nowhere.
    RunResult without = ws.keys("0 1 Esc", {{"BENCH_FAULTS", "AllocConsole"}});
    EXPECT_EQ(without.exit_code, 0);
    EXPECT_EQ(without.out, "");
    EXPECT_FALSE(ws.exists("CONOUT$"));
}

TEST(HostOptions, ArgumentsAfterDoubleDashChangeNothing) {
    Workspace ws;
    RunResult run = ws.keys("0", {}, {"--", "--bogus", "two words", "Esc"});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, "key 48\nkey_num 0\n");
    EXPECT_EQ(run.err, "");
}

TEST(HostOptions, BadOptionsAndKeyNamesAreRefusedBeforeAnyWindowOpens) {
    Workspace ws;
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"}, {"--headless", "--keys", "1 Foo"}, {"--keys"}, {"--screenshot"}, {"--keys", "0x100"}, {"stray"},
        {"--keys", "0", "--keys", "1"}, {"--keys-file", "-", "--keys", "1"}, {"--keys-file", "missing.txt"},
        {"--keys-file"}, {"--screenshot", ""}, {"--screenshot", "a.png", "--screenshot", "b.png"}};
    for (const auto &args : bad) {
        RunResult run = ws.run(args);
        EXPECT_EQ(run.exit_code, 2) << args[0];
        EXPECT_EQ(run.out, "") << args[0];
        EXPECT_NE(run.err.find("gdibench: "), std::string::npos) << run.err;
    }
    EXPECT_NE(ws.run({"--keys", "1 Foo"}).err.find("\"Foo\""), std::string::npos);
    EXPECT_EQ(ws.files(), kSamplesOnly);
}

// The screenshot's extension names its format, in either case: the BMP holds the PNG's pixels as
// 24-bit bottom-up rows, and both JPEG names give the same file.
TEST(HostOptions, TheScreenshotIsWrittenInTheFormatItsExtensionNames) {
    struct Case {
        const char *name;
        std::string signature;
    };
    const Case cases[] = {{"shot.png", "\x89PNG\r\n\x1A\n"}, {"SHOT.BMP", "BM"}, {"shot.jpg", "\xFF\xD8\xFF"},
                          {"shot.Jpeg", "\xFF\xD8\xFF"}};
    Workspace ws;
    for (const Case &c : cases) {
        RunResult run = ws.keys("2", {}, {"--screenshot", c.name});
        EXPECT_EQ(run.exit_code, 0) << run.err;
        EXPECT_TRUE(starts_with(ws.read(c.name), c.signature)) << c.name;
    }
    EXPECT_EQ(ws.read("shot.jpg"), ws.read("shot.Jpeg"));
    benchtest::RgbaImage png;
    ASSERT_TRUE(benchtest::read_png(ws.path("shot.png"), &png));
    const std::string bmp = ws.read("SHOT.BMP");
    ASSERT_EQ(bmp.size(), 54u + size_t(png.width) * png.height * 3);
    size_t mismatches = 0;
    for (int y = 0; y < png.height; ++y) {
        const char *row = &bmp[54 + size_t(png.height - 1 - y) * png.width * 3];
        for (int x = 0; x < png.width; ++x)
            for (int k = 0; k < 3; ++k) mismatches += uint8_t(row[x * 3 + k]) != png.at(x, y)[2 - k];
    }
    EXPECT_EQ(mismatches, 0u);
}

TEST(HostOptions, FaultRulesNamingNoKnownCallOrWithABadCountAreRefused) {
    Workspace ws;
    for (const char *rules : {"CreatFileA", "CreateFileA@abc", "CreateFileA@-1", "CreateFileA@0", "CreateFileA@",
                              "CreateFileA,@2", "CreateFileA@99999999999999999999"}) {
        RunResult run = ws.keys("1", {{"BENCH_FAULTS", rules}});
        EXPECT_EQ(run.exit_code, 2) << rules;
        EXPECT_EQ(run.out, "") << rules;
        EXPECT_NE(run.err.find("known calls: AllocConsole, Allocation, CoInitialize, "), std::string::npos) << run.err;
    }
    EXPECT_EQ(ws.files(), kSamplesOnly);
}

TEST(HostOptions, AKeysFileOfAnyLengthOrStandardInputGivesTheScript) {
    Workspace ws;
    // Longer than the 128 KiB one argument can hold.
    ws.write("keys.txt", std::string(150000, ' ') + "0\r\n" + std::string(150000, ',') + "E\n");
    RunResult file = ws.run({"--headless", "--keys-file", "keys.txt"});
    EXPECT_EQ(file.exit_code, 0) << file.err;
    EXPECT_EQ(file.out, "key 48\nkey_num 0\nkey 69\nkey_num 0\n");
    benchtest::Command from_stdin({"sh", "-c", std::string("exec ") + BENCH_EXE + " --headless --keys-file - <keys.txt"},
                                  ws.dir(), {{"BENCH_FAULTS", ""}});
    RunResult piped = benchtest::run_command(from_stdin, benchtest::kBenchSeconds);
    EXPECT_EQ(piped.exit_code, 0) << piped.err;
    EXPECT_EQ(piped.out, file.out);
}

TEST(HostOptions, WithoutAWorkingDisplayTheRunIsHeadlessUnlessAWindowIsDemanded) {
    Workspace ws;
    const benchtest::Env broken = {{"DISPLAY", ":9999"}, {"WAYLAND_DISPLAY", "no-such-socket"}};
    RunResult headless = ws.run({"--keys", "0"}, broken);
    EXPECT_EQ(headless.exit_code, 0);
    EXPECT_EQ(headless.out, "key 48\nkey_num 0\n");
    RunResult window = ws.run({"--window", "--keys", "0"}, broken);
    EXPECT_EQ(window.exit_code, 1);
    EXPECT_EQ(window.out, "");
    EXPECT_NE(window.err.find("no display"), std::string::npos) << window.err;
}

TEST(HostOptions, HelpPrintsUsageOnStdout) {
    Workspace ws;
    RunResult run = ws.run({"--help"});
    EXPECT_EQ(run.exit_code, 0);
    for (const char *option : {"--keys", "--headless", "--window", "--screenshot", "--help"})
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
}

TEST(HostOptions, ShortHelpAndVersionPrintAndEndTheRun) {
    Workspace ws;
    const std::string help = ws.run({"--help"}).out;
    for (const char *part : {"123A.jpg", "testA.bmp", "testC.jpg", "new.bmp", "test8.txt", "test9.txt", "Esc, Q",
                             "BENCH_FAULTS", "BENCH_REPORT", "BENCH_TRACE", "Exit codes:", "  2  "})
        EXPECT_NE(help.find(part), std::string::npos) << part;
    const std::regex version(R"(gdibench \d+\.\d+\.\d+( \(commit [0-9a-f]{7}(, modified)?\))?\n)");
    for (const std::vector<std::string> &args : {std::vector<std::string>{"-h"}, {"--version"}, {"--headless", "--version"}}) {
        RunResult run = ws.run(args);
        EXPECT_EQ(run.exit_code, 0) << args.back();
        EXPECT_EQ(run.err, "") << args.back();
        EXPECT_TRUE(args.back() == "-h" ? run.out == help : std::regex_match(run.out, version)) << run.out;
    }
    EXPECT_EQ(ws.files(), kSamplesOnly);
}

TEST(HostOptions, AWindowWithoutADisplayVariableIsRefusedBeforeSdlTries) {
    Workspace ws;
    RunResult run = ws.run({"--window", "--keys", "0"}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "gdibench: --window needs a display, and neither DISPLAY nor WAYLAND_DISPLAY is set "
                       "(--headless runs without one)\n");
}

// Only a window loads the window module, and with it SDL2: a run without one maps neither, as the
// dynamic loader reports each file it maps (LD_DEBUG=files).
TEST(HostOptions, OnlyAWindowLoadsSdl) {
    Workspace ws;
    for (const std::vector<std::string> &display : {std::vector<std::string>{"--headless"}, {}}) {
        std::vector<std::string> args = display;
        args.insert(args.end(), {"--keys", "Esc"});
        RunResult run = ws.run(args, {{"LD_DEBUG", "files"}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
        EXPECT_EQ(run.exit_code, 0);
        EXPECT_NE(run.err.find("file=libc.so"), std::string::npos) << run.err;
        for (const char *library : {"libSDL2", "gdibench-sdl.so"}) EXPECT_EQ(run.err.find(library), std::string::npos) << library;
    }
}

// A bench without its window module runs headless where a display is found, as a build without
// SDL2 does, and refuses --window naming where it looked.
TEST(HostOptions, WithoutItsWindowModuleTheBenchHasNoWindow) {
    if (!benchtest::kBenchHasWindow) GTEST_SKIP() << benchtest::kNoWindow;
    Workspace ws;
    ws.copy_in(BENCH_EXE, "gdibench");
    ASSERT_EQ(chmod(ws.path("gdibench").c_str(), 0755), 0);
    const benchtest::Env display = {{"DISPLAY", ":0"}, {"SDL_VIDEODRIVER", "dummy"}};
    auto run = [&](std::vector<std::string> argv) {
        argv.insert(argv.begin(), ws.path("gdibench"));
        argv.insert(argv.end(), {"--keys", "0"});
        return benchtest::run_command({argv, ws.dir(), display}, benchtest::kBenchSeconds);
    };
    RunResult headless = run({}), window = run({"--window"});
    EXPECT_EQ(headless.exit_code, 0) << headless.err;
    EXPECT_EQ(headless.out, "key 48\nkey_num 0\n");
    EXPECT_EQ(window.exit_code, 1);
    EXPECT_NE(window.err.find("gdibench-sdl.so is neither in " + ws.dir() + " nor in "), std::string::npos) << window.err;
}

// Each input missing from the working directory is noted once at the start; the program's own
// console lines and boxes are those of a run without the notes.
TEST(MissingInputs, EachIsNotedOnceAtTheStart) {
    const struct {
        std::vector<std::string> missing;
        std::string err;  // DIR stands for the working directory
    } cases[] = {
        {{}, ""},
        {{"testA.bmp"}, "gdibench: note: testA.bmp is not in DIR: mode 9 will draw nothing\n"},
        {{"123A.jpg", "testA.bmp"},
         "gdibench: note: 123A.jpg is not in DIR: modes 1 and 8 will show \"Failed to save to stream!\"\n"
         "gdibench: note: testA.bmp is not in DIR: mode 9 will draw nothing\n"
         "message box \"\": Failed to save to stream!\n"},
    };
    std::string console;
    for (const auto &c : cases) {
        Workspace ws;
        for (const std::string &name : c.missing) unlink(ws.path(name).c_str());
        RunResult run = ws.keys("1 9 0");
        EXPECT_EQ(run.exit_code, 0);
        EXPECT_EQ(run.err, std::regex_replace(c.err, std::regex("DIR"), ws.dir()));
        if (console.empty()) console = run.out;
        EXPECT_EQ(run.out, console);
    }
}

// With BENCH_TRACE set, every file that does not open is named with the system's reason, whether
// the program opens it with CreateFileA, fopen or GDI+; the program sees the same failures.
TEST(MissingInputs, BenchTraceNamesEveryFailedOpenAndWhy) {
    Workspace ws(false);
    ASSERT_EQ(mkdir(ws.path("test8.txt").c_str(), 0700), 0);
    RunResult quiet = ws.keys("1 8 9 Esc");
    RunResult traced = ws.keys("1 8 9 Esc", {{"BENCH_TRACE", "1"}});
    EXPECT_EQ(traced.exit_code, 0);
    EXPECT_EQ(traced.out, quiet.out);
    for (const char *line : {"gdibench: cannot open 123A.jpg: No such file or directory\n",
                             "gdibench: cannot open test8.txt: Is a directory\n",
                             "gdibench: cannot open testA.bmp: No such file or directory\n"}) {
        EXPECT_NE(traced.err.find(line), std::string::npos) << traced.err;
        EXPECT_EQ(quiet.err.find(line), std::string::npos) << quiet.err;
    }
}

TEST(HostOptions, TheScreenshotIsTheWhiteClientAreaHoweverTheRunEnds) {
    for (const char *script : {"0", "0 Esc"}) {
        benchtest::RgbaImage image = screenshot_of(script);
        EXPECT_EQ(image.width, 1280) << script;
        EXPECT_EQ(image.height, 1024) << script;
        EXPECT_TRUE(all_white(image)) << script;
    }
}

TEST(Console, EachLineIsOutAsItIsPrintedSoAKillLosesNone) {
    if (!benchtest::kBenchHasWindow) GTEST_SKIP() << benchtest::kNoWindow;
    Workspace ws;
    // On SDL's display-less driver the window waits for real input after the script, until ended.
    benchtest::ChildProcess run(ws.command({"--window", "--keys", "0 E R T"}, {{"SDL_VIDEODRIVER", "dummy"}}));
    const std::string lines = "key 48\nkey_num 0\nkey 69\nkey_num 0\nkey 82\nkey_num 0\nkey 84\nkey_num 0\n";
    for (int tries = 0; run.out() != lines && tries < 200; ++tries) run.wait(0.1);
    EXPECT_EQ(run.out(), lines);
    EXPECT_EQ(run.wait(0), -1);  // still running: the lines did not wait for the exit
}

// The console in the process itself: one at a time, "CONOUT$" reaching the launching terminal.
TEST(ConsoleLayer, ConoutReachesTheTerminalAndClosingDropsLaterOutput) {
    Workspace ws(false);
    benchtest::WorkingDirectory here(ws.dir());
    fflush(stdout);
    int saved = dup(STDOUT_FILENO);
    int terminal = open(ws.path("terminal.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(terminal, STDOUT_FILENO);
    close(terminal);

    EXPECT_EQ(crt_freopen("CONOUT$", "wt", stdout), nullptr);  // no console yet
    ASSERT_TRUE(AllocConsole());
    EXPECT_FALSE(AllocConsole());
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
    EXPECT_NE(h, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    FILE *fr = crt_freopen("CONOUT$", "wt", stdout);
    EXPECT_EQ(fr, stdout);
    printf("on the console\n");
    EXPECT_EQ(crt_fclose(fr), 0);
    printf("after the close\n");
    fflush(stdout);
    EXPECT_TRUE(FreeConsole());
    EXPECT_FALSE(FreeConsole());
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(GetStdHandle(STD_OUTPUT_HANDLE), nullptr);

    fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    EXPECT_EQ(ws.read("terminal.txt"), "on the console\n");
    EXPECT_EQ(ws.files(), std::vector<std::string>{"terminal.txt"});
}

}  // namespace
