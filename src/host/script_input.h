// The key script as the run's input.
#pragma once
#include <windows.h>

#include <vector>

namespace host {

// Makes the keys the host's input: one goes to the window system each time it has handled
// everything before, ahead of any input of the display; F10 and Alt arrive as system keys, as they
// do in a real window. When the keys are used up and no user can go on, the host closes the window
// as the close box would.
void play_key_script(const std::vector<UINT> &keys);

}  // namespace host
