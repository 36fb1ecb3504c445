// The real window is SDL2's, in the window module: loaded from beside the executable (a build
// tree) or else from the module folder of the prefix it is installed in, when a window is wanted.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "display/window_backends.h"
#include "display/window_module.h"

namespace display {
namespace {

bool display_present() { return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"); }

// The first of the module's places that holds it; empty, with the places named, when none does.
std::string module_path(std::string *error) {
    std::error_code failed;
    const std::filesystem::path bin = std::filesystem::read_symlink("/proc/self/exe", failed).parent_path();
    const std::filesystem::path places[] = {bin, (bin / BENCH_MODULE_FROM_BIN).lexically_normal()};
    for (const std::filesystem::path &place : places)
        if (access((place / BENCH_WINDOW_MODULE).c_str(), F_OK) == 0) return place / BENCH_WINDOW_MODULE;
    *error = std::string(BENCH_WINDOW_MODULE " is neither in ") + places[0].string() + " nor in " + places[1].string();
    return {};
}

std::unique_ptr<Backend> create_sdl(std::string *error) {
    const std::string path = module_path(error);
    if (path.empty()) return nullptr;
    // Never closed: the back-end's code is the module's.
    void *module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void *create = module ? dlsym(module, kCreateWindowBackend) : nullptr;
    if (!create) {
        *error = std::string("cannot load the window module: ") + dlerror();
        return nullptr;
    }
    return std::unique_ptr<Backend>(reinterpret_cast<decltype(&gdibench_create_window_backend)>(create)(error, push_input));
}

}  // namespace

std::vector<BackendEntry> window_backends() { return {{Shows::Window, display_present, create_sdl}}; }

}  // namespace display
