// The tool's command line.
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

#include "read_picture.h"

namespace inspect {

struct Options {
    bool help = false;
    bool version = false;
    bool compare = false;            // "compare A B"; otherwise one FILE is described
    std::vector<std::string> files;  // one, or two for compare
    ReadRequest read;
    int tolerance = 0;
    std::string png;       // FILE --png OUT.png
    std::string diff_png;  // compare --diff-png OUT.png
    bool json = false;
};

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws UsageError for anything the tool does not take.
Options parse_options(const std::vector<std::string> &args);

extern const char kUsage[];

}  // namespace inspect
