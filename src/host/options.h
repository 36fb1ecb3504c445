// The host's command-line options; what follows "--" is the program's own command line.
#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "codecs/formats.h"
#include "display/registry.h"
#include "host/key_script.h"

namespace host {

struct Options {
    std::vector<UINT> keys;             // of --keys
    std::unique_ptr<KeyFile> keys_file;  // of --keys-file, opened, its keys read as the run asks
    std::optional<display::Shows> display;  // what the backend must show; none: the first one available
    std::string screenshot;
    codecs::Format screenshot_format = codecs::Format::Png;
    bool help = false;
    bool version = false;
    std::string command_line;
};

// False, with the reason, for an unknown option, a missing, empty or repeated value, a bad
// --keys script, a --keys-file that cannot be opened, or a screenshot that cannot be written.
bool parse_options(int argc, char **argv, Options *options, std::string *error);

extern const char kUsage[];

}  // namespace host
