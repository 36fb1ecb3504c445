// The host's command-line options; what follows "--" is the program's own command line.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "display/registry.h"

namespace host {

struct Options {
    std::vector<UINT> keys;
    std::optional<display::Shows> display;  // what the backend must show; none: the first one available
    std::string screenshot;
    bool help = false;
    bool version = false;
    std::string command_line;
};

// False, with the reason, for an unknown option, a missing, empty or repeated value, or a bad
// key script.
bool parse_options(int argc, char **argv, Options *options, std::string *error);

extern const char kUsage[];

}  // namespace host
