// gdibench-inspect: turns the bench's outputs into pictures and compares any two.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "compare_files.h"
#include "options.h"
#include "png_writer.h"
#include "read_picture.h"
#include "refusal.h"
#include "report.h"
#include "statistics.h"
#include "sys/signals.h"
#include "version/version.h"

namespace {

using namespace inspect;

const int kEqual = 0, kDifferent = 1, kError = 2, kOutOfMemory = 3;  // 0 to 2 as cmp

struct ReportNotWritten : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Standard output, checked: a report that cannot be written whole is an error.
void print(const std::string &text) {
    if (std::fputs(text.c_str(), stdout) == EOF || std::fflush(stdout) != 0)
        throw ReportNotWritten(std::string("cannot write the report to standard output: ") + std::strerror(errno));
}

// A closed standard stream is taken by /dev/null opened for reading, so that no file the tool
// opens becomes it, and a write to it fails.
void occupy_closed_standard_streams() {
    for (int fd = 0; fd <= 2; ++fd)
        if (fcntl(fd, F_GETFD) == -1 && open("/dev/null", O_RDONLY) == -1) return;
}

int describe(const Options &options) {
    LoadedPicture loaded = read_picture(options.files[0], options.read);
    PictureFigures figures = measure(loaded.picture);
    print(options.json ? describe_json(loaded.info(), figures) : describe_text(loaded.info(), figures));
    if (!options.png.empty()) write_png(options.png, loaded.picture);
    return kEqual;
}

int compare_files(const Options &options) {
    FileComparison result = inspect::compare_files(options.files[0], options.files[1], options.read, options.tolerance,
                                                   !options.diff_png.empty());
    const Comparison &comparison = result.comparison;
    print(options.json ? comparison_json(result.a, result.b, comparison)
                       : comparison_text(result.a, result.b, comparison));
    if (!options.diff_png.empty() && !comparison.same_size)
        std::fprintf(stderr, "gdibench-inspect: no heat map %s: the sizes differ\n", options.diff_png.c_str());
    else if (!options.diff_png.empty())
        write_png(options.diff_png, result.heat_map);
    return comparison.equal() ? kEqual : kDifferent;
}

int run(const Options &options) {
    if (options.help) {
        print(kUsage);
        return kEqual;
    }
    if (options.version) {
        print(std::string("gdibench-inspect ") + BENCH_VERSION_TEXT + "\n");
        return kEqual;
    }
    return options.compare ? compare_files(options) : describe(options);
}

}  // namespace

int main(int argc, char **argv) {
    sys::take_process_signals();
    occupy_closed_standard_streams();
    try {
        return run(parse_options(std::vector<std::string>(argv + 1, argv + argc)));
    } catch (const UsageError &error) {
        std::fprintf(stderr, "gdibench-inspect: %s (see --help)\n", error.what());
    } catch (const Refusal &refusal) {
        std::fprintf(stderr, "gdibench-inspect: %s\n", refusal.message().c_str());
    } catch (const ReportNotWritten &error) {
        std::fprintf(stderr, "gdibench-inspect: %s\n", error.what());
    } catch (const OutOfMemory &error) {
        std::fprintf(stderr, "gdibench-inspect: out of memory %s\n", error.what());
        return kOutOfMemory;
    } catch (const std::bad_alloc &) {
        std::fprintf(stderr, "gdibench-inspect: out of memory\n");
        return kOutOfMemory;
    }
    return kError;
}
