// The process entry of the portable layer: host options, the display backend, the key script,
// then WinMain.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "core/faults.h"
#include "display/registry.h"
#include "display/screen.h"
#include "host/about.h"
#include "host/input_notes.h"
#include "host/options.h"
#include "host/run_report.h"
#include "host/screenshot.h"
#include "host/script_input.h"
#include "kernel/console.h"
#include "sys/signals.h"

namespace {

// The module's instance handle: the base address a program image is loaded at.
const HINSTANCE kInstance = reinterpret_cast<HINSTANCE>(uintptr_t(0x00400000));

// The backend that shows what was asked for, or else the first available one that starts.
std::unique_ptr<display::Backend> choose_backend(std::optional<display::Shows> wanted, std::string *error) {
    if (wanted) {
        const display::BackendEntry *entry = display::find_backend(*wanted);
        if (entry) return entry->create(error);
        // The headless backend is always built: only a window can be missing.
        *error = "this build has no window back-end: it was built without SDL2";
        return nullptr;
    }
    for (const display::BackendEntry &entry : display::backends()) {
        if (!entry.available()) continue;
        if (auto backend = entry.create(error)) return backend;
    }
    return nullptr;
}

// A window asked for where no display is named: SDL would only fail, after complaints of its own.
bool window_without_display(std::optional<display::Shows> wanted) {
    return wanted == display::Shows::Window && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
           !std::getenv("SDL_VIDEODRIVER");
}

}  // namespace

int main(int argc, char **argv) {
    sys::take_process_signals();
    host::Options options;
    std::string error;
    if (!host::parse_options(argc, argv, &options, &error)) {
        std::fprintf(stderr, "gdibench: %s\nTry 'gdibench --help'.\n", error.c_str());
        return 2;
    }
    if (!layer::check_fault_rules(&error)) {
        std::fprintf(stderr, "gdibench: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        host::print_help();
        return 0;
    }
    if (options.version) {
        host::print_version();
        return 0;
    }
    if (window_without_display(options.display)) {
        std::fputs("gdibench: --window needs a display, and neither DISPLAY nor WAYLAND_DISPLAY is set "
                   "(--headless runs without one)\n", stderr);
        return 1;
    }
    auto backend = choose_backend(options.display, &error);
    if (!backend) {
        std::fprintf(stderr, "gdibench: --window: no display to open a window on (%s)\n", error.c_str());
        return 1;
    }
    display::install(std::move(backend));
    host::note_missing_inputs();
    if (options.keys_file)
        host::play_key_file(std::move(options.keys_file));
    else
        host::play_key_script(options.keys);
    console::take_terminal();

    int code = WinMain(kInstance, nullptr, &options.command_line[0], SW_SHOWDEFAULT);
    host::report_run_if_asked();

    if (!options.screenshot.empty() &&
        !host::write_screenshot(options.screenshot, options.screenshot_format, display::snapshot(), &error)) {
        std::fprintf(stderr, "gdibench: cannot write the screenshot %s: %s\n", options.screenshot.c_str(),
                     error.c_str());
        code = 1;
    }
    if (host::key_script_refused()) code = 2;
    display::uninstall();  // closes the display
    return code;
}
