// The bench's JPEG transcoding and gdibench-inspect's comparison at growing picture sizes, as a user
// meets them: whole processes, run in turn with a peer tool doing the same job (A B A B ...), each
// measured by its CPU time (user + system), wall time and peak memory.
//  1. gdibench --headless --keys "1 Esc" in a folder holding the picture as 123A.jpg (it writes the
//     picture at quality 100 to testC.jpg), against djpeg 123A.jpg | cjpeg -quality 100 > peer.jpg;
//     the pipeline's CPU time is both programs', its peak memory the sum of both, as they run at
//     the same time. Then whether testC.jpg and peer.jpg are the same bytes.
//  2. gdibench-inspect compare A B of two equal three-number dumps or raw captures, against cmp A B.
// Arguments: --quick (or BENCH_QUICK=1 in the environment): the two smallest sizes, one round each.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "child_usage.h"
#include "scale_pictures.h"
#include "timing.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Size {
    int width, height;
};

const Size kSizes[] = {{1024, 1024}, {2048, 2048}, {4096, 4096}, {8192, 8192}};
const Size kLargest = {16384, 8192};  // 128 megapixels, 512 MB of 32-bit rows
const char kRefusal[] = "Failed to save to stream!";

struct Plan {
    int max_rounds;
    double case_seconds;  // no round of a case starts after it has taken this long
    size_t sizes;         // how many of kSizes
    bool largest;
};

Plan make_plan(int argc, char **argv) {
    const char *quick_env = std::getenv("BENCH_QUICK");
    bool quick = (argc > 1 && std::strcmp(argv[1], "--quick") == 0) ||
                 (quick_env && *quick_env && std::strcmp(quick_env, "0") != 0);
    return quick ? Plan{1, 0, 2, false} : Plan{5, 20, std::size(kSizes), true};
}

std::string label(Size size) {
    char text[64];
    std::snprintf(text, sizeof text, "%d x %d (%d MP)", size.width, size.height, int((long(size.width) * size.height) >> 20));
    return text;
}

std::string read_whole(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// One side's figures over the rounds: the median times, the largest peak.
struct Series {
    std::vector<double> cpu_ms, wall_ms;
    long peak_kb = 0;
    bool failed = false;

    void add(const benchchild::Usage &usage, bool ok = true) {
        cpu_ms.push_back(usage.cpu_seconds * 1e3);
        wall_ms.push_back(usage.wall_seconds * 1e3);
        peak_kb = std::max(peak_kb, usage.peak_sum_kb());
        failed = failed || !ok || !usage.succeeded();
    }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// a, b, a, b, ...: at most max_rounds rounds, none started once the case has taken case_seconds.
template <class A, class B>
int alternate(const Plan &plan, A a, B b) {
    Clock::time_point start = Clock::now();
    int rounds = 0;
    while (rounds < plan.max_rounds &&
           (rounds == 0 || std::chrono::duration<double>(Clock::now() - start).count() < plan.case_seconds)) {
        a();
        b();
        ++rounds;
    }
    return rounds;
}

void print_header(const char *what, const char *a, const char *b) {
    std::printf("%-24s %6s | %-33s | %-33s | %-33s |\n", what, "rounds", "CPU ms (median)", "wall ms (median)",
                "peak MB (largest)");
    std::printf("%-24s %6s |", "", "");
    for (int i = 0; i < 3; ++i) std::printf(" %12s %12s %7s |", a, b, "A/B");
    std::printf("\n");
}

void print_row(const std::string &what, int rounds, const Series &a, const Series &b, const std::string &note) {
    std::printf("%-24s %6d |", what.c_str(), rounds);
    double figures[3][2] = {{a.failed ? 0 : median(a.cpu_ms), b.failed ? 0 : median(b.cpu_ms)},
                            {a.failed ? 0 : median(a.wall_ms), b.failed ? 0 : median(b.wall_ms)},
                            {a.peak_kb / 1024.0, b.peak_kb / 1024.0}};
    for (int i = 0; i < 3; ++i) {
        for (int side = 0; side < 2; ++side) {
            bool failed = side ? b.failed : a.failed;
            if (failed) std::printf(" %12s", "-");
            else std::printf(" %12.1f", figures[i][side]);
        }
        if (a.failed || b.failed) std::printf(" %7s |", "-");
        else std::printf(" %7.2f |", figures[i][0] / figures[i][1]);
    }
    std::printf(" %s\n", note.c_str());
    std::fflush(stdout);
}

// 1. JPEG transcoding.

benchchild::Job program_job(const std::string &dir) {
    return {{{BENCH_EXE, "--headless", "--keys", "1 Esc"}}, dir, "console.txt", "errors.txt"};
}

benchchild::Job peer_job(const std::string &dir, const benchchild::Argv &djpeg_options = {},
                         const benchchild::Argv &cjpeg_options = {}) {
    benchchild::Argv djpeg = {"djpeg"}, cjpeg = {"cjpeg", "-quality", "100"};
    djpeg.insert(djpeg.end(), djpeg_options.begin(), djpeg_options.end());
    djpeg.push_back("123A.jpg");
    cjpeg.insert(cjpeg.end(), cjpeg_options.begin(), cjpeg_options.end());
    return {{djpeg, cjpeg}, dir, "peer.jpg"};
}

// What kept the program from writing testC.jpg, or "" when it wrote it.
std::string program_fault(const std::string &dir, const benchchild::Usage &usage) {
    std::string console = read_whole(dir + "/console.txt") + read_whole(dir + "/errors.txt");
    if (console.find(kRefusal) != std::string::npos) return std::string("refused: \"") + kRefusal + "\"";
    if (usage.timed_out) return "killed at the time limit";
    if (!usage.succeeded()) return "exit code " + std::to_string(usage.exit_codes[0]);
    if (!std::filesystem::exists(dir + "/testC.jpg")) return "no testC.jpg";
    return "";
}

// Peer options to try when the outputs differ: the first whose output is testC.jpg's bytes is named.
struct PeerOptions {
    benchchild::Argv djpeg, cjpeg;
};

const PeerOptions kPeerVariants[] = {
    {{}, {"-optimize"}},          {{}, {"-dct", "fast"}},     {{}, {"-dct", "float"}},
    {{"-dct", "fast"}, {}},       {{"-dct", "float"}, {}},    {{"-nosmooth"}, {}},
    {{}, {"-sample", "1x1"}},     {{}, {"-sample", "2x1"}},   {{}, {"-progressive"}},
};

std::string joined(const benchchild::Argv &args) {
    std::string text;
    for (const std::string &arg : args) text += " " + arg;
    return text;
}

void name_matching_peer(const std::string &dir) {
    std::string program = read_whole(dir + "/testC.jpg");
    for (const PeerOptions &variant : kPeerVariants) {
        if (!benchchild::run(peer_job(dir, variant.djpeg, variant.cjpeg)).succeeded()) continue;
        if (read_whole(dir + "/peer.jpg") != program) continue;
        std::printf("  testC.jpg is the output of: djpeg%s 123A.jpg | cjpeg -quality 100%s\n",
                    joined(variant.djpeg).c_str(), joined(variant.cjpeg).c_str());
        return;
    }
    std::printf("  no peer options tried give testC.jpg's bytes\n");
}

constexpr double kCpuTarget = 1.3;

std::string cpu_target(const Series &program, const Series &peer) {
    bool met = median(program.cpu_ms) <= kCpuTarget * median(peer.cpu_ms);
    char text[64];
    std::snprintf(text, sizeof text, ", CPU target <= %.2f: %s", kCpuTarget, met ? "met" : "MISSED");
    return text;
}

// Returns false when a run failed other than by the program refusing the picture.
bool transcode_case(const Plan &plan, const std::string &scratch, Size size, bool *investigated) {
    std::string dir = scratch + "/" + std::to_string(size.width) + "x" + std::to_string(size.height);
    std::filesystem::create_directory(dir);
    if (!scalepictures::write_jpeg(dir + "/123A.jpg", size.width, size.height, 90)) {
        std::printf("%s: cannot write 123A.jpg\n", label(size).c_str());
        return false;
    }
    Series program, peer;
    std::string fault;
    int rounds = alternate(
        plan,
        [&] {
            std::filesystem::remove(dir + "/testC.jpg");
            benchchild::Usage usage = benchchild::run(program_job(dir));
            fault = program_fault(dir, usage);
            program.add(usage, fault.empty());
        },
        [&] { peer.add(benchchild::run(peer_job(dir))); });
    bool identical = !program.failed && !peer.failed && read_whole(dir + "/testC.jpg") == read_whole(dir + "/peer.jpg");
    std::string note = program.failed ? "gdibench " + fault
                       : peer.failed  ? "peer failed (djpeg and cjpeg: libjpeg-turbo-progs)"
                       : identical    ? "same bytes" + cpu_target(program, peer)
                                      : "DIFFERENT bytes";
    print_row(label(size), rounds, program, peer, note);
    if (!program.failed && !peer.failed && !identical && !*investigated) {
        *investigated = true;
        name_matching_peer(dir);
    }
    std::filesystem::remove_all(dir);
    return !peer.failed && (fault.empty() || fault.rfind("refused", 0) == 0);
}

bool transcode_table(const Plan &plan, const std::string &scratch) {
    std::printf("JPEG re-encoding at quality 100 of a 4:2:0 baseline JPEG (quality 90), whole processes\n");
    std::printf("A = gdibench --headless --keys \"1 Esc\", B = djpeg | cjpeg -quality 100 (its peak: djpeg's + cjpeg's)\n");
    print_header("picture", "gdibench", "djpeg|cjpeg");
    bool ok = true, investigated = false;
    std::vector<Size> sizes(kSizes, kSizes + plan.sizes);
    if (plan.largest) sizes.push_back(kLargest);
    for (Size size : sizes) ok = transcode_case(plan, scratch, size, &investigated) && ok;
    return ok;
}

// 2. Comparing two equal pictures.

struct PictureFiles {
    const char *name;
    const char *extension;
    bool (*write)(const std::vector<std::string> &paths, int width, int height);
};

const PictureFiles kKinds[] = {{"three-number dumps", "txt", scalepictures::write_three_number_dumps},
                               {"raw captures", "raw", scalepictures::write_raw_captures}};

bool compare_case(const Plan &plan, const std::string &scratch, Size size, const PictureFiles &kind) {
    std::string a = std::string("a.") + kind.extension, b = std::string("b.") + kind.extension;
    if (!kind.write({scratch + "/" + a, scratch + "/" + b}, size.width, size.height)) {
        std::printf("%s: cannot write the %s\n", label(size).c_str(), kind.name);
        return false;
    }
    std::string size_option = std::to_string(size.width) + "x" + std::to_string(size.height);
    benchchild::Job inspect = {{{BENCH_INSPECT, "compare", a, b, "--size", size_option}}, scratch};
    benchchild::Job cmp = {{{"cmp", a, b}}, scratch};
    Series tool, floor;
    // Exit code 0 is "equal" for both.
    int rounds = alternate(
        plan, [&] { tool.add(benchchild::run(inspect)); }, [&] { floor.add(benchchild::run(cmp)); });
    print_row(label(size), rounds, tool, floor, tool.failed || floor.failed ? "a run FAILED or found differences" : "equal");
    std::filesystem::remove(scratch + "/" + a);
    std::filesystem::remove(scratch + "/" + b);
    return !tool.failed && !floor.failed;
}

bool compare_table(const Plan &plan, const std::string &scratch) {
    bool ok = true;
    for (const PictureFiles &kind : kKinds) {
        std::printf("\ngdibench-inspect compare A B --size WxH of two equal %s, whole processes\n", kind.name);
        std::printf("A = gdibench-inspect compare, B = cmp A B\n");
        print_header("picture", "inspect", "cmp");
        for (size_t i = 0; i < plan.sizes; ++i) ok = compare_case(plan, scratch, kSizes[i], kind) && ok;
    }
    return ok;
}

}  // namespace

int main(int argc, char **argv) {
    Plan plan = make_plan(argc, argv);
    std::string scratch = benchtime::enter_scratch_dir("transcode_scale_bench");
    if (scratch.empty()) return 1;
    Clock::time_point start = Clock::now();
    bool ok = transcode_table(plan, scratch);
    ok = compare_table(plan, scratch) && ok;
    std::printf("\ntotal %.0f s; every run limited to %.0f s\n", std::chrono::duration<double>(Clock::now() - start).count(),
                benchchild::Job().limit_seconds);
    std::filesystem::remove_all(scratch);
    return ok ? 0 : 1;
}
