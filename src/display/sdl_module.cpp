// The entry of the window module: the SDL back-end, for the program that loads the module.
#include "display/sdl_backend.h"
#include "display/window_module.h"

display::Backend *gdibench_create_window_backend(std::string *error, display::InputSink push) {
    return display::SdlBackend::create(error, push).release();
}
