// The process entry of the portable layer: host options, the display backend, then WinMain.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "display/headless_backend.h"
#include "display/screen.h"
#include "display/sdl_backend.h"
#include "host/options.h"
#include "host/png_writer.h"
#include "host/run_report.h"
#include "kernel/console.h"

namespace {

// The module's instance handle: the base address a program image is loaded at.
const HINSTANCE kInstance = reinterpret_cast<HINSTANCE>(uintptr_t(0x00400000));

bool display_present() { return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"); }

std::unique_ptr<display::Backend> choose_backend(const host::Options &options, std::string *error) {
    if (options.display == host::Display::Window || (options.display == host::Display::Auto && display_present())) {
        auto sdl = display::SdlBackend::create(options.keys, error);
        if (sdl || options.display == host::Display::Window) return sdl;
    }
    return std::make_unique<display::HeadlessBackend>(options.keys);
}

}  // namespace

int main(int argc, char **argv) {
    host::Options options;
    std::string error;
    if (!host::parse_options(argc, argv, &options, &error)) {
        std::fprintf(stderr, "gdibench: %s\nTry 'gdibench --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(host::kUsage, stdout);
        return 0;
    }
    auto backend = choose_backend(options, &error);
    if (!backend) {
        std::fprintf(stderr, "gdibench: --window: no display to open a window on (%s)\n", error.c_str());
        return 1;
    }
    display::install(std::move(backend));
    console::take_terminal();

    int code = WinMain(kInstance, nullptr, &options.command_line[0], SW_SHOWDEFAULT);
    host::report_run_if_asked();

    if (!options.screenshot.empty() && !host::write_png(options.screenshot, display::snapshot(), &error)) {
        std::fprintf(stderr, "gdibench: cannot write the screenshot %s: %s\n", options.screenshot.c_str(),
                     error.c_str());
        code = 1;
    }
    display::install(std::make_unique<display::HeadlessBackend>(std::vector<UINT>{}));  // closes the display
    return code;
}
