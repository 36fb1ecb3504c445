// The thread's message queue: posted messages, the quit flag, synthesised paints and input.
#pragma once
#include <windows.h>

#include <functional>

#include "display/backend.h"

namespace user {

// Drops what was posted to a window that goes away.
void purge_posted(HWND hwnd);

// Scripted input, taken before the display backend's own: the next event for the shown window,
// or one of Type None when the script has nothing (more) to give.
using ScriptedInput = std::function<display::InputEvent()>;
void set_scripted_input(ScriptedInput script);

}  // namespace user
