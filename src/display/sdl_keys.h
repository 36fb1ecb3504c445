// SDL keyboard events as the platform's key messages.
#pragma once
#include <SDL.h>

#include "display/input_event.h"

namespace display {

// The virtual-key code of an SDL key, or 0 for keys without one. Keypad keys give the digits
// with Num Lock on and the navigation keys without.
UINT virtual_key(SDL_Keycode sym, Uint16 mod);

// The key-down event of an SDL key press: a system key with Alt held, for Alt itself and F10.
// Type None when the key has no virtual-key code.
InputEvent key_event(const SDL_KeyboardEvent &key);

}  // namespace display
