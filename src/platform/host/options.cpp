#include "host/options.h"

#include <cstring>

#include "host/key_script.h"

namespace host {
namespace {

// Windows command-line quoting: arguments with blanks are enclosed in double quotes.
std::string join_command_line(int first, int argc, char **argv) {
    std::string line;
    for (int i = first; i < argc; ++i) {
        std::string arg = argv[i];
        if (!line.empty()) line += ' ';
        line += arg.find_first_of(" \t") == std::string::npos ? arg : '"' + arg + '"';
    }
    return line;
}

}  // namespace

const char kUsage[] =
    "Usage: gdibench [OPTIONS] [-- PROGRAM ARGUMENTS]\n"
    "The bitmap bench: a window whose keys choose the experiment that each repaint runs.\n"
    "\n"
    "  --keys SCRIPT      deliver these keys first, one at a time, each handled in full before\n"
    "                     the next; names separated by spaces or commas: a digit or letter,\n"
    "                     Num0-Num9 (keypad), Esc, Shift, Period, or 0xNN (any key code)\n"
    "  --headless         no window on screen; the run ends when the keys are used up, as if\n"
    "                     the window were closed\n"
    "  --window           a real window (needs a display)\n"
    "                     (default: a window when a display is there, else headless)\n"
    "  --screenshot FILE  write the window's client area to FILE as PNG when the program ends\n"
    "  --help             show this help\n"
    "\n"
    "Console lines go to standard output, message boxes of a headless run to standard error.\n";

bool parse_options(int argc, char **argv, Options *options, std::string *error) {
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        bool has_value = i + 1 < argc;
        if (std::strcmp(arg, "--") == 0) {
            options->command_line = join_command_line(i + 1, argc, argv);
            return true;
        } else if (std::strcmp(arg, "--help") == 0) {
            options->help = true;
        } else if (std::strcmp(arg, "--headless") == 0) {
            options->display = Display::Headless;
        } else if (std::strcmp(arg, "--window") == 0) {
            options->display = Display::Window;
        } else if (std::strcmp(arg, "--keys") == 0 && has_value) {
            options->keys.clear();
            if (!parse_key_script(argv[++i], &options->keys, error)) return false;
        } else if (std::strcmp(arg, "--screenshot") == 0 && has_value) {
            options->screenshot = argv[++i];
        } else if (std::strcmp(arg, "--keys") == 0 || std::strcmp(arg, "--screenshot") == 0) {
            *error = std::string(arg) + " needs a value";
            return false;
        } else {
            *error = std::string("unknown option \"") + arg + "\"";
            return false;
        }
    }
    return true;
}

}  // namespace host
