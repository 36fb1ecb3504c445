// The key script as the run's input.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host/key_script.h"

namespace host {

// Makes the keys the host's input: one goes to the window system each time it has handled
// everything before, ahead of any input of the display; F10 and Alt arrive as system keys, as they
// do in a real window. When the keys are used up and no user can go on, the host closes the window
// as the close box would.
void play_key_script(const std::vector<UINT> &keys);

// The same for the keys of a file, each read when the window system asks for the next. While the
// file has not given the next yet, a real window goes on with its own input; without one the
// run waits for the file. A name that is no key (or a failed read) is reported on standard error
// and closes the window, with or without a user: the run ends there, its earlier keys handled.
void play_key_file(std::unique_ptr<KeyFile> file);

// Whether the key file was refused while the program ran.
bool key_script_refused();

}  // namespace host
