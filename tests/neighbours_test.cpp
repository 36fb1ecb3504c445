// Hostile neighbours of the running bench: another process cutting its files short, FIFOs and
// sockets under its file names, read-only and foreign files, links, a second bench in the same
// folder, a full disk, kills, signals, shell pipelines, resource limits, and an input that claims
// to be huge. Nothing of it may crash or hang the bench, or make it lose or clobber a file.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/bench_run.h"
#include "support/file_size_limit.h"

using namespace benchtest;

namespace {

// AddressSanitizer reserves terabytes of address space, so no memory limit can be set under it.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

const char kDiskBox[] = "Failed to save data to the disk!";
const char kLoadBox[] = "Failed to save to stream!";

std::string repeat(const std::string &key, int times) {
    std::string script;
    for (int i = 0; i < times; ++i) script += (i ? " " : "") + key;
    return script;
}

size_t count(const std::string &text, const std::string &part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// What the bench writes to "testC.jpg" from the sample, left alone.
const std::string &complete_output() {
    static const std::string bytes = [] {
        Workspace workspace;
        workspace.keys("8");
        return workspace.read("testC.jpg");
    }();
    return bytes;
}

mode_t mode_of(const std::string &path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

Command bench_keys(const Workspace &workspace, const std::string &keys) {
    return workspace.command({"--headless", "--keys", keys});
}

void expect_clean(const RunResult &run, const std::string &box) {
    EXPECT_EQ(run.exit_code, 0) << run.err;
    if (box.empty())
        EXPECT_EQ(run.err, "");
    else
        EXPECT_NE(run.err.find(box), std::string::npos) << run.err;
}

// Another process cuts a file short, over and over, while the bench maps it: the capture's
// file-backed section ("new.bmp") or the input image while it is decoded ("123A.jpg").
TEST(Neighbours, AFileCutShortUnderAViewNeverCrashes) {
    struct Case {
        const char *file;
        std::string keys;
    };
    for (const Case &c : {Case{"new.bmp", repeat("1", 50)}, Case{"123A.jpg", repeat("1", 30)}}) {
        Workspace workspace;
        // The input is written back before each cut, so that there is something to cut.
        const char *loop = "while :; do [ -n \"$1\" ] && cat \"$1\" > \"$0\"; truncate -c -s 0 \"$0\"; done";
        std::string source = workspace.exists(c.file) ? sample_path(c.file) : "";
        ChildProcess cutter(Command({"sh", "-c", loop, c.file, source}, workspace.dir()));
        RunResult run = workspace.keys(c.keys);
        EXPECT_EQ(run.exit_code, 0) << c.file << "\n" << run.err;
        EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << run.err;
        EXPECT_EQ(count(run.out, "key 1\n"), count(c.keys, "1")) << "every paint went on";
    }
}

bool make_socket(const std::string &path) {
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof(address.sun_path) - 1);
    bool made = bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    close(fd);
    return made;
}

// A FIFO or socket under a file name: an input that is no regular file is unreadable, an output
// that is none is refused as unwritable, and neither waits for the other end.
TEST(Neighbours, SpecialFilesNeverBlockAndAreNoFiles) {
    struct Case {
        const char *name;
        bool socket;
        const char *keys;
        const char *box;
    };
    const Case cases[] = {
        {"123A.jpg", false, "8", kLoadBox},  {"123A.jpg", true, "8", kLoadBox}, {"testA.bmp", false, "9", ""},
        {"testC.jpg", false, "8", kDiskBox}, {"testC.jpg", true, "8", kDiskBox}, {"test8.txt", false, "8", ""},
        {"new.bmp", false, "1", ""},
    };
    for (const Case &c : cases) {
        Workspace workspace;
        std::string path = workspace.path(c.name);
        unlink(path.c_str());
        ASSERT_TRUE(c.socket ? make_socket(path) : mkfifo(path.c_str(), 0600) == 0) << c.name;
        mode_t kind = mode_of(path) & S_IFMT;
        workspace.set_time_limit(10);
        RunResult run = workspace.keys(c.keys);
        SCOPED_TRACE(std::string(c.name) + (c.socket ? " (socket)" : " (FIFO)"));
        expect_clean(run, c.box);
        EXPECT_EQ(mode_of(path) & S_IFMT, kind) << "left as it was";
        EXPECT_EQ(workspace.temporaries(), std::vector<std::string>{});
    }
}

// Read-only outputs, which on the platform even an administrator cannot write or replace.
TEST(Neighbours, ReadOnlyOutputsAreKept) {
    struct Case {
        const char *name;
        const char *keys;
        const char *box;
    };
    for (const Case &c : {Case{"testC.jpg", "8", kDiskBox}, Case{"new.bmp", "1", ""}, Case{"test8.txt", "8", ""}}) {
        Workspace workspace;
        workspace.write(c.name, "previous");
        chmod(workspace.path(c.name).c_str(), 0444);
        RunResult run = workspace.keys(c.keys);
        SCOPED_TRACE(c.name);
        expect_clean(run, c.box);
        EXPECT_EQ(workspace.read(c.name), "previous");
        EXPECT_EQ(mode_of(workspace.path(c.name)) & 07777, mode_t(0444));
        EXPECT_EQ(workspace.temporaries(), std::vector<std::string>{});
    }
}

// Names that the bench might choose for its temporary file are already taken (it is known which:
// they carry the process id) by a link to a file elsewhere, a folder, a FIFO and a user's file;
// an older fixed name is taken by a user's file. The bench picks a free name and touches none.
TEST(Neighbours, TakenTemporaryNamesAreLeftAlone) {
    Workspace workspace, elsewhere{false};
    elsewhere.write("victim.txt", "victim");
    workspace.write("testC.jpg.part", "mine");
    // The shell's process id is the bench's: it takes the names, then becomes the bench.
    const char *take = "ln -s \"$0\" testC.jpg.$$.0.tmp && mkdir testC.jpg.$$.1.tmp && mkfifo testC.jpg.$$.2.tmp && "
                       "printf \"user's\" > testC.jpg.$$.3.tmp && exec \"$@\"";
    Command bench = bench_keys(workspace, "8");
    bench.argv.insert(bench.argv.begin(), {"sh", "-c", take, elsewhere.path("victim.txt")});
    RunResult run = run_command(bench, kBenchSeconds);
    expect_clean(run, "");
    EXPECT_EQ(workspace.read("testC.jpg"), complete_output());
    EXPECT_EQ(elsewhere.read("victim.txt"), "victim");
    EXPECT_EQ(workspace.read("testC.jpg.part"), "mine");
    std::vector<std::string> left = workspace.temporaries();
    ASSERT_EQ(left.size(), 4u);
    EXPECT_TRUE(S_ISLNK(mode_of(workspace.path(left[0]))));
    EXPECT_TRUE(S_ISDIR(mode_of(workspace.path(left[1]))));
    EXPECT_TRUE(S_ISFIFO(mode_of(workspace.path(left[2]))));
    EXPECT_EQ(workspace.read(left[3]), "user's");
}

// Two benches transcoding in one folder, 30 times each: neither sees the other's temporary file,
// and "testC.jpg" is always one complete output. (They also fight over "new.bmp", each cutting it
// short under the other's view.)
TEST(Neighbours, TwoBenchesInOneFolderNeverCollide) {
    Workspace workspace;
    std::string script = repeat("1", 30);
    ChildProcess first(bench_keys(workspace, script)), second(bench_keys(workspace, script));
    for (ChildProcess *bench : {&first, &second}) {
        RunResult run = bench->finish(kBenchSeconds);
        expect_clean(run, "");
        EXPECT_EQ(count(run.out, "key 1\n"), 30u);
    }
    EXPECT_EQ(workspace.read("testC.jpg"), complete_output());
    EXPECT_EQ(workspace.temporaries(), std::vector<std::string>{});
}

// A full disk: the transcoding and the screenshot keep their previous files, say so, and leave no
// temporary file behind.
TEST(Neighbours, AFullDiskKeepsThePreviousFiles) {
    Workspace workspace;
    workspace.write("testC.jpg", "previous");
    workspace.write("shot.png", "previous shot");
    RunResult run;
    {
        FileSizeLimit full(1024);
        run = workspace.keys("8", {}, {"--screenshot", "shot.png"});
    }
    EXPECT_EQ(run.exit_code, 1) << "the screenshot failed";
    EXPECT_NE(run.err.find(kDiskBox), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("cannot write the screenshot shot.png: File too large"), std::string::npos) << run.err;
    EXPECT_EQ(workspace.read("testC.jpg"), "previous");
    EXPECT_EQ(workspace.read("shot.png"), "previous shot");
    EXPECT_EQ(workspace.temporaries(), std::vector<std::string>{});
}

// Killed at any moment, the bench leaves "testC.jpg" absent or complete, never cut short.
TEST(Neighbours, AKillNeverLeavesAPartialOutput) {
    Workspace workspace;
    for (int delay_ms : {30, 120, 250, 400, 700, 1000}) {
        ChildProcess bench(bench_keys(workspace, repeat("1", 20)));
        std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
        bench.kill(SIGKILL);
        bench.wait(kBenchSeconds);
        if (!workspace.exists("testC.jpg")) continue;
        EXPECT_EQ(workspace.read("testC.jpg"), complete_output()) << delay_ms;
    }
}

long size_of(const std::string &path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? long(info.st_size) : -1;
}

// What a user's shell does to a run: a pipe that closes early, a limit on file sizes, an endless
// key script or one whose writer stays (each key runs as it is read), outputs named by a FIFO, a
// read-only file or an extension no encoder writes (refused before the run), Ctrl-C, SIGTERM and
// SIGHUP, and failed allocations (of the handles of "new.bmp"'s file and mapping and of
// "testC.jpg"'s temporary file). No program is ended by SIGPIPE or
// SIGXFSZ; a signal ends it with its usual status once its temporary files are gone; a failure
// changes nothing on disk, and what cannot be written is named. The inspector beside them: an
// input cut short while it reads, a FIFO, a file another process holds exclusively, an output
// naming an input, a report to a full or closed standard output, and inputs of far more bytes
// (or a far larger size) than they hold, which cost neither time nor memory.
TEST(Neighbours, ShellsSignalsAndLimitsSpoilNoFile) {
    struct Case {
        std::string shell;  // a bash line running "$@": the bench (headless) or the inspector
        bool inspector;
        std::vector<std::string> args;
        int signal;  // sent once the program has a temporary file; 0: none
        int exit_code;
        std::string err;   // what standard error holds
        const char *file;  // a file holding "previous" before the run, or null
        long size;         // its size afterwards; -1: gone
        const char *out = "";  // what standard output holds
        long most_kb = 0;  // the most peak memory allowed, over that of a run holding nothing; 0: any
        double seconds = 30;
        double most_cpu = 0;  // the most CPU seconds the run may take; 0: any
    };
    std::string nuls;  // the refused token of an endless "y\0y\0..." as quoted
    for (int i = 0; i < 20; ++i) nuls += "y\\x00";
    const std::string keys = repeat("1 8", 30);
    std::string zeros;  // the refused token of /dev/zero as quoted
    for (int i = 0; i < 20; ++i) zeros += "\\x00\\x00";
    const std::string refused_shot = "gdibench: --screenshot shot.png: ";
    // The key file's writer stays, holding the FIFO open, until the bench has ended.
    const char *open_fifo =
        "mkfifo keys; (printf '1 Esc\\n'; exec sleep 30) > keys & \"$@\"; code=$?; kill $!; exit $code";
    // A key file idle for a second between its keys.
    const char *idle_fifo = "mkfifo keys; (printf '0 '; sleep 1; printf 'Esc\\n') > keys & exec \"$@\"";
    const char *dump = "printf '  1  2  3 ' > d.txt; ";  // a 1 x 1 three-number dump
    // A 1280 x 1024 dump, written and cut to nothing over and over while the inspector reads it.
    const char *cut_short = "yes '  1  2  3 ' | tr -d '\\n' | head -c 13107200 > d.keep; "
                            "while :; do cat d.keep > d.txt; : > d.txt; done & cutter=$!; code=0; "
                            "for i in $(seq 20); do \"$@\" > /dev/null; c=$?; [ $c -gt 2 ] && code=$c; done; "
                            "kill $cutter; exit $code";
    const std::string held = "flock -x in.txt sh -c ': > locked; sleep 3' & "
                             "while [ ! -e locked ]; do sleep 0.05; done; exec \"$@\"";
    const Case cases[] = {
        {"\"$@\" | head -1; exit ${PIPESTATUS[0]}", false, {"--keys", "1 8 Esc"}, 0, 0, "", "test8.txt", 13107200},
        {"ulimit -f 64; exec \"$@\"", false, {"--keys", "8"}, 0, 0, "gdibench: cannot write test8.txt: File too large\n",
         "test8.txt", 8},
        {"ulimit -f 64; exec \"$@\"", false, {"--keys", "1"}, 0, 0, "gdibench: cannot write new.bmp: File too large\n",
         "new.bmp", 0},
        {"ulimit -f 16; exec \"$@\"", true, {"testA.bmp", "--png", "out.png"}, 0, 2, "File too large", "out.png", 8},
        {"BENCH_FAULTS=Allocation@14 exec \"$@\"", false, {"--keys", "1"}, 0, 0, "", "new.bmp", 8},
        {"BENCH_FAULTS=Allocation@15 exec \"$@\"", false, {"--keys", "1"}, 0, 0, "", "new.bmp", 0},
        {"BENCH_FAULTS=Allocation@12 exec \"$@\"", false, {"--keys", "1"}, 0, 0, "Failed to save data to the disk!", nullptr, 0},
        {"BENCH_FAULTS=Allocation@23 exec \"$@\"", false, {"--keys", "1 8"}, 0, 0, "Failed to save data to the disk!", nullptr,
         0},
        {"mkfifo zeros; yes | tr '\\n' '\\0' > zeros & exec \"$@\"", false, {"--keys-file", "zeros"}, 0, 2,
         "gdibench: a key name of over 64 bytes, \"" + nuls + "\"..., in the key script\n", nullptr, 0},
        {"exec \"$@\"", false, {"--keys-file", "/dev/zero"}, 0, 2,
         "gdibench: a key name of over 64 bytes, \"" + zeros + "\"..., in the key script\n", nullptr, 0},
        {open_fifo, false, {"--keys-file", "keys"}, 0, 0, "", nullptr, 0, "key 49\nkey_num 1\n"},
        {idle_fifo, false, {"--keys-file", "keys"}, 0, 0, "", nullptr, 0, "key 48\nkey_num 0\nkey 27\nkey_num 0\n", 0,
         30, 0.5},
        {"printf '1 Foo 8' > keys; exec \"$@\"", false, {"--keys-file", "keys"}, 0, 2,
         "gdibench: unknown key name \"Foo\" in the key script", "test8.txt", 8, "key 1\n"},
        {"rm shot.png; mkfifo shot.png; exec \"$@\"", false, {"--keys", "1", "--screenshot", "shot.png"}, 0, 2,
         refused_shot + "a FIFO, not a regular file\n", "shot.png", 0},
        {"chmod 444 shot.png; exec \"$@\"", false, {"--keys", "1", "--screenshot", "shot.png"}, 0, 2,
         refused_shot + "a read-only file\n", "shot.png", 8},
        {"exec \"$@\"", false, {"--keys", "1", "--screenshot", "shot.gif"}, 0, 2,
         "gdibench: --screenshot writes .png, .bmp, .jpg or .jpeg files, not \"shot.gif\"\n", "shot.gif", 8},
        {"rm shot.png; mknod shot.png c 1 3 2>/dev/null || mkfifo shot.png; exec \"$@\"", false,
         {"--keys", "1", "--screenshot", "shot.png"}, 0, 2, ", not a regular file\n", "shot.png", 0},
        {"mkdir shot.png; exec \"$@\"", false, {"--keys", "1", "--screenshot", "shot.png"}, 0, 2,
         refused_shot + "a folder, not a regular file\n", nullptr, 0},
        {"rm out.png; mkfifo out.png; exec \"$@\"", true, {"testA.bmp", "--png", "out.png"}, 0, 2,
         "a FIFO, not a regular file", "out.png", 0},
        {"chmod 444 out.png; exec \"$@\"", true, {"testA.bmp", "--png", "out.png"}, 0, 2, "a read-only file",
         "out.png", 8},
        {"exec \"$@\"", false, {"--keys", keys}, SIGINT, 128 + SIGINT, "", nullptr, 0},
        {"exec \"$@\"", false, {"--keys", keys}, SIGTERM, 128 + SIGTERM, "", nullptr, 0},
        {"exec \"$@\"", false, {"--keys", keys}, SIGHUP, 128 + SIGHUP, "", nullptr, 0},
        {cut_short, true, {"d.txt"}, 0, 0, "", nullptr, 0},
        {"mkfifo in.fifo; exec \"$@\"", true, {"in.fifo"}, 0, 2, "in.fifo: expected a regular file\n", nullptr, 0, "",
         0, 5},
        {held.c_str(), true, {"in.txt"}, 0, 2, "in.txt: being written by another process\n", "in.txt", 8},
        {"exec \"$@\"", true, {"in.txt", "--png", "./in.txt"}, 0, 2, "the output ./in.txt is the input in.txt", "in.txt",
         8},
        {"ln -s in.txt d.png; exec \"$@\"", true, {"compare", "in.txt", "in.txt", "--diff-png", "d.png"}, 0, 2,
         "the output d.png is the input in.txt", "in.txt", 8},
        {std::string(dump) + "exec \"$@\" > /dev/full", true, {"d.txt", "--size", "1x1"}, 0, 2,
         "gdibench-inspect: cannot write the report to standard output: No space left on device\n", nullptr, 0},
        {std::string(dump) + "exec \"$@\" >&-", true, {"d.txt", "--size", "1x1"}, 0, 2,
         "gdibench-inspect: cannot write the report to standard output: Bad file descriptor\n", nullptr, 0},
        {"truncate -s 1G big.raw; exec \"$@\"", true, {"big.raw"}, 0, 2,
         "big.raw: 1073741824 bytes, expected 3932160 for 1280x1024 (3 bytes a pixel)", nullptr, 0, "", 64 << 10, 5},
        {std::string(dump) + "cp d.txt e.txt; exec \"$@\"", true, {"compare", "d.txt", "e.txt", "--size", "8192x8192"},
         0, 2, "10 bytes, expected 671088640 for 8192x8192 (10 bytes a pixel)", nullptr, 0, "", 64 << 10, 5},
        {"truncate -s 201326592 big.raw; ulimit -v 150000; exec \"$@\"", true, {"big.raw", "--size", "8192x8192"}, 0, 3,
         "gdibench-inspect: out of memory holding the picture of big.raw (8192 x 8192)\n", nullptr, 0},
    };
    for (const Case &c : cases) {
        if (c.shell.find("/dev/full") != std::string::npos && access("/dev/full", W_OK) != 0) continue;
        if (c.shell.find("ulimit -v") != std::string::npos && kAddressSanitizer) continue;
        Workspace workspace;
        if (c.file) workspace.write(c.file, "previous");
        std::vector<std::string> argv = {"bash", "-c", c.shell, "bash", c.inspector ? INSPECT_EXE : BENCH_EXE};
        if (!c.inspector) argv.push_back("--headless");
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        ChildProcess program(Command(argv, workspace.dir(), {{"BENCH_FAULTS", ""}}));
        SCOPED_TRACE(program.command_line());
        while (c.signal && workspace.temporaries().empty() && program.wait(0) == -1) continue;
        if (c.signal) program.kill(c.signal);
        RunResult run = program.finish(c.seconds);
        EXPECT_EQ(run.exit_code, c.exit_code) << run.err;
        if (c.most_kb) {
            // A forked child's peak counts this process's memory until it execs: the peak is taken
            // over that of a run that holds nothing.
            RunResult idle = run_command(Command({"bash", "-c", "exec \"$@\" --version", "bash", INSPECT_EXE}), 30);
            EXPECT_LT(run.peak_kb, idle.peak_kb + c.most_kb) << "kB at peak; holding nothing, " << idle.peak_kb;
        }
        if (c.most_cpu) {
            EXPECT_LT(run.cpu_seconds, c.most_cpu) << "CPU seconds";
        }
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
        EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
        EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << run.err;
        EXPECT_EQ(workspace.temporaries(), std::vector<std::string>{});
        if (c.file) {
            EXPECT_EQ(size_of(workspace.path(c.file)), c.size) << c.file;
        }
    }
}

int peak_memory_kb(const std::string &report) {
    size_t at = report.find("peak memory ");
    return at == std::string::npos ? -1 : std::atoi(report.c_str() + at + 12);
}

// An input that claims 1000 MB (sparse: the picture, then a hole) costs the decoded picture and
// the bytes actually read, not its size.
TEST(Neighbours, AHugeSparseInputCostsOnlyWhatIsRead) {
    Workspace workspace;
    ASSERT_EQ(truncate(workspace.path("123A.jpg").c_str(), off_t(1000) << 20), 0);
    RunResult run = workspace.keys("8 8", {{"BENCH_REPORT", "1"}});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    int peak = peak_memory_kb(run.err);
    EXPECT_GT(peak, 0) << run.err;
    EXPECT_LT(peak, 256 * 1024) << "kB, where reading the whole file took over 1 GB";
    EXPECT_EQ(workspace.read("testC.jpg"), complete_output());
}

}  // namespace
