#include "options.h"

#include <cstdlib>

#include "codecs/file_output.h"
#include "codecs/formats.h"
#include "input_file.h"

namespace inspect {

const char kUsage[] =
    "Usage: gdibench-inspect FILE [--png OUT.png] [--size WxH] [--format F] [--json]\n"
    "       gdibench-inspect compare A B [--tolerance N] [--diff-png OUT.png] [--size WxH] [--format F] [--json]\n"
    "\n"
    "Reads the bench's outputs and pictures: three-number dumps (test1/8/9.txt), one-number dumps,\n"
    "device dumps (test0.txt), raw captures (new.bmp), BMP, JPEG and PNG, recognised by content and\n"
    "length. Dumps and raw captures are 1280 x 1024 unless --size says otherwise; a one-number\n"
    "dump is shown as grey.\n"
    "\n"
    "  FILE                  format, size, per channel min/max/mean, distinct colours\n"
    "  --png OUT.png         also write the picture as PNG\n"
    "  compare A B           differing pixels, per channel max and mean difference, PSNR, histogram\n"
    "                        of the largest channel difference, bounding box, first differing pixel\n"
    "  --tolerance N         count channel differences of at most N as equal (0 to 255)\n"
    "  --diff-png OUT.png    heat map: A in grey, differing pixels blue (1-4), yellow (5-15), red (16+)\n"
    "  --size WxH            size of dumps and raw captures\n"
    "  --format F            read as dump3, dump1, device, raw, bmp, jpeg or png\n"
    "  --json                print the figures as one JSON object (bytes of file names that are not\n"
    "                        UTF-8 as \\u00XX of the byte)\n"
    "  -h, --help            show this help\n"
    "  --version             show the version\n"
    "\n"
    "Exit code: 0 equal (or described), 1 different, 2 error (a file refused, a report or PNG not\n"
    "written, a wrong option), 3 out of memory.\n";

namespace {

// As the codecs: no size asks for gigabytes.
constexpr long kMaxPixels = long(codecs::kMaxPixels);

long number(const std::string &text, long low, long high, const std::string &option) {
    char *end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < low || value > high)
        throw UsageError(option + " takes a number from " + std::to_string(low) + " to " + std::to_string(high) +
                         ", not \"" + text + "\"");
    return value;
}

void parse_size(const std::string &text, ReadRequest *read) {
    size_t x = text.find('x');
    if (x == std::string::npos) throw UsageError("--size takes WxH, not \"" + text + "\"");
    try {
        read->width = int(number(text.substr(0, x), 1, kMaxPixels, "--size"));
        read->height = int(number(text.substr(x + 1), 1, kMaxPixels, "--size"));
    } catch (const UsageError &) {
        throw UsageError("--size takes a number from 1 to " + std::to_string(kMaxPixels) +
                         " for each of W and H in WxH, not \"" + text + "\"");
    }
    if (long(read->width) * read->height > kMaxPixels) throw UsageError("--size is over " + std::to_string(kMaxPixels >> 20) + " megapixels");
}

}  // namespace

Options parse_options(const std::vector<std::string> &args) {
    Options options;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        auto value = [&]() -> const std::string & {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            return args[++i];
        };
        auto output = [&]() -> const std::string & {
            const std::string &name = value();
            if (name.empty()) throw UsageError(arg + " takes a file name, not \"\"");
            return name;
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--png") {
            options.png = output();
        } else if (arg == "--diff-png") {
            options.diff_png = output();
        } else if (arg == "--tolerance") {
            options.tolerance = int(number(value(), 0, 255, arg));
        } else if (arg == "--size") {
            parse_size(value(), &options.read);
        } else if (arg == "--format") {
            options.read.format = format_by_name(value());
            if (!options.read.format) throw UsageError("unknown format \"" + args[i] + "\"");
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (options.help || options.version) return options;
    options.compare = !positional.empty() && positional[0] == "compare";
    if (options.compare) positional.erase(positional.begin());
    if (positional.size() != (options.compare ? 2u : 1u))
        throw UsageError(options.compare ? "compare takes two files" : "give one file, or compare A B");
    if (options.compare && !options.png.empty()) throw UsageError("--png is for one file; compare takes --diff-png");
    if (!options.compare && (!options.diff_png.empty() || options.tolerance != 0))
        throw UsageError("--diff-png and --tolerance are for compare");
    options.files = positional;
    for (const std::string *out : {&options.png, &options.diff_png})
        for (const std::string &file : options.files)
            if (!out->empty() && codecs::same_file(*out, file))
                throw UsageError("the output " + *out + " is the input " + file);
    return options;
}

}  // namespace inspect
