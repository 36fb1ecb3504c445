#include "host/options.h"

#include "host/screenshot.h"

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

bool take_screenshot_name(const std::string &name, Options *options, std::string *error) {
    if (!options->screenshot.empty()) {
        *error = "only one --screenshot can be given";
        return false;
    }
    if (name.empty()) {
        *error = "--screenshot needs a file name";
        return false;
    }
    options->screenshot = name;
    return screenshot_format(name, &options->screenshot_format, error);
}

// The value of --keys, --keys-file or --screenshot; false, with the reason, when it is refused.
bool take_value(const std::string &option, const std::string &value, Options *options, bool *script_given,
                std::string *error) {
    if (option == "--screenshot") return take_screenshot_name(value, options, error);
    if (*script_given) {
        *error = "only one key script can be given (--keys or --keys-file, once)";
        return false;
    }
    *script_given = true;
    if (option == "--keys") return parse_key_script(value, &options->keys, error);
    options->keys_file = std::make_unique<KeyFile>();
    return options->keys_file->open(value, error);
}

}  // namespace

const char kUsage[] =
    "Usage: gdibench [OPTIONS] [-- PROGRAM ARGUMENTS]\n"
    "The bitmap bench: a window whose keys choose the experiment that each repaint runs.\n"
    "\n"
    "  --keys SCRIPT      deliver these keys first, one at a time, each handled in full before\n"
    "                     the next; names separated by blanks or commas: a digit or letter,\n"
    "                     Num0-Num9 (keypad), Esc, Shift, Period, or 0xNN (any key code)\n"
    "  --keys-file FILE   the same from a file of any length, line breaks separating too\n"
    "                     (- for standard input), each key run as soon as it is read\n"
    "  --headless         no window on screen; the run ends when the keys are used up, as if\n"
    "                     the window were closed\n"
    "  --window           a real window (needs a display)\n"
    "                     (default: a window when a display is there, else headless)\n"
    "  --screenshot FILE  write the window's client area to FILE when the program ends, as PNG,\n"
    "                     BMP or JPEG by its extension (.png, .bmp, .jpg or .jpeg)\n"
    "  -h, --help         show this help\n"
    "  --version          show the version\n"
    "\n"
    "Console lines go to standard output, message boxes of a headless run to standard error.\n";

bool parse_options(int argc, char **argv, Options *options, std::string *error) {
    bool script_given = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--") {
            options->command_line = join_command_line(i + 1, argc, argv);
            return true;
        } else if (arg == "--help" || arg == "-h") {
            options->help = true;
        } else if (arg == "--version") {
            options->version = true;
        } else if (arg == "--headless") {
            options->display = display::Shows::Nothing;
        } else if (arg == "--window") {
            options->display = display::Shows::Window;
        } else if (arg != "--keys" && arg != "--keys-file" && arg != "--screenshot") {
            *error = "unknown option \"" + arg + "\"";
            return false;
        } else if (i + 1 == argc) {
            *error = arg + " needs a value";
            return false;
        } else if (!take_value(arg, argv[++i], options, &script_given, error)) {
            return false;
        }
    }
    return true;
}

}  // namespace host
