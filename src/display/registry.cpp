#include "display/registry.h"

#include <cstdlib>

#include "display/headless_backend.h"
#include "display/sdl_backend.h"

namespace display {
namespace {

bool display_present() { return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"); }

bool always() { return true; }

std::unique_ptr<Backend> create_sdl(std::string *error) { return SdlBackend::create(error); }

std::unique_ptr<Backend> create_headless(std::string *) { return std::make_unique<HeadlessBackend>(); }

}  // namespace

const std::vector<BackendEntry> &backends() {
    static const std::vector<BackendEntry> entries = {
        {Shows::Window, display_present, create_sdl},
        {Shows::Nothing, always, create_headless},
    };
    return entries;
}

const BackendEntry *find_backend(Shows shows) {
    for (const BackendEntry &entry : backends())
        if (entry.shows == shows) return &entry;
    return nullptr;
}

}  // namespace display
