// gdibench-inspect: turns the bench's outputs into pictures and compares any two.
#include <cstdio>

#include "compare.h"
#include "heat_map.h"
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

const int kEqual = 0, kDifferent = 1, kError = 2;  // as cmp

int describe(const Options &options) {
    LoadedPicture loaded = read_picture(options.files[0], options.read);
    PictureFigures figures = measure(loaded.picture);
    std::fputs((options.json ? describe_json(loaded, figures) : describe_text(loaded, figures)).c_str(), stdout);
    if (!options.png.empty()) write_png(options.png, loaded.picture);
    return kEqual;
}

int compare_files(const Options &options) {
    LoadedPicture a, b;
    read_both(options.files[0], options.files[1], options.read, &a, &b);
    Comparison comparison = compare(a.picture, b.picture, options.tolerance);
    std::fputs((options.json ? comparison_json(a, b, comparison) : comparison_text(a, b, comparison)).c_str(), stdout);
    if (!options.diff_png.empty() && !comparison.same_size)
        std::fprintf(stderr, "gdibench-inspect: no heat map %s: the sizes differ\n", options.diff_png.c_str());
    else if (!options.diff_png.empty())
        write_png(options.diff_png, heat_map(a.picture, b.picture, options.tolerance));
    return comparison.equal() ? kEqual : kDifferent;
}

}  // namespace

int main(int argc, char **argv) {
    sys::take_process_signals();
    try {
        Options options = parse_options(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help) {
            std::fputs(kUsage, stdout);
            return kEqual;
        }
        if (options.version) {
            std::printf("gdibench-inspect %s\n", BENCH_VERSION_TEXT);
            return kEqual;
        }
        return options.compare ? compare_files(options) : describe(options);
    } catch (const UsageError &error) {
        std::fprintf(stderr, "gdibench-inspect: %s (see --help)\n", error.what());
    } catch (const Refusal &refusal) {
        std::fprintf(stderr, "gdibench-inspect: %s\n", refusal.message().c_str());
    } catch (const std::bad_alloc &) {
        std::fprintf(stderr, "gdibench-inspect: out of memory\n");
    }
    return kError;
}
