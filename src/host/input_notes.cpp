#include "host/input_notes.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace host {
namespace {

struct Input {
    const char *name;
    const char *without;  // what the program does without it
};

const Input kInputs[] = {
    {"123A.jpg", "modes 1 and 8 will show \"Failed to save to stream!\""},
    {"testA.bmp", "mode 9 will draw nothing"},
};

}  // namespace

void note_missing_inputs() {
    std::error_code error;
    const std::string dir = std::filesystem::current_path(error).string();
    for (const Input &input : kInputs) {
        struct stat info;
        if (stat(input.name, &info) != 0)
            std::fprintf(stderr, "gdibench: note: %s is not in %s: %s\n", input.name,
                         error ? "the working directory" : dir.c_str(), input.without);
    }
}

}  // namespace host
