// The process entry of the portable layer: host options, the display backend, the key script,
// then WinMain.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "core/faults.h"
#include "display/registry.h"
#include "display/screen.h"
#include "host/key_script.h"
#include "host/options.h"
#include "host/png_writer.h"
#include "host/run_report.h"
#include "kernel/console.h"
#include "sys/signals.h"

namespace {

// The module's instance handle: the base address a program image is loaded at.
const HINSTANCE kInstance = reinterpret_cast<HINSTANCE>(uintptr_t(0x00400000));

// The backend of that name, or else the first available one that starts.
std::unique_ptr<display::Backend> choose_backend(const std::string &name, std::string *error) {
    if (!name.empty()) return display::find_backend(name)->create(error);
    for (const display::BackendEntry &entry : display::backends()) {
        if (!entry.available()) continue;
        if (auto backend = entry.create(error)) return backend;
    }
    return nullptr;
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
        std::fputs(host::kUsage, stdout);
        return 0;
    }
    auto backend = choose_backend(options.display, &error);
    if (!backend) {
        std::fprintf(stderr, "gdibench: --window: no display to open a window on (%s)\n", error.c_str());
        return 1;
    }
    display::install(std::move(backend));
    host::play_key_script(options.keys);
    console::take_terminal();

    int code = WinMain(kInstance, nullptr, &options.command_line[0], SW_SHOWDEFAULT);
    host::report_run_if_asked();

    if (!options.screenshot.empty() && !host::write_png(options.screenshot, display::snapshot(), &error)) {
        std::fprintf(stderr, "gdibench: cannot write the screenshot %s: %s\n", options.screenshot.c_str(),
                     error.c_str());
        code = 1;
    }
    display::uninstall();  // closes the display
    return code;
}
