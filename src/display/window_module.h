// The real window as a module of its own (gdibench-sdl.so, the one library linked against SDL2):
// the program loads it only when a window is wanted, so that a run without one does not link SDL2
// and the dozens of libraries it needs. The module links no part of the layer: what it needs of
// the program's state, the input queue, it is handed.
#pragma once
#include <string>

#include "display/backend.h"

// The one symbol the module exports: a new SDL back-end pushing its input into push, or null with
// the reason SDL gave. The program finds it by the name below.
extern "C" __attribute__((visibility("default"))) display::Backend *gdibench_create_window_backend(
    std::string *error, display::InputSink push);

namespace display {

constexpr char kCreateWindowBackend[] = "gdibench_create_window_backend";

}  // namespace display
