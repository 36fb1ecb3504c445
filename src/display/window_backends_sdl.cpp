#include <cstdlib>

#include "display/sdl_backend.h"
#include "display/window_backends.h"

namespace display {
namespace {

bool display_present() { return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"); }

std::unique_ptr<Backend> create_sdl(std::string *error) { return SdlBackend::create(error); }

}  // namespace

std::vector<BackendEntry> window_backends() { return {{Shows::Window, display_present, create_sdl}}; }

}  // namespace display
