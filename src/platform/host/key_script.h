// The --keys script: key names separated by spaces or commas.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace host {

// A digit or letter (either case) is that key; Num0-Num9 the keypad digits; Esc, Shift,
// Period; 0xNN any virtual-key code. False, with the reason, for a name that is none of these.
bool parse_key_script(const std::string &script, std::vector<UINT> *keys, std::string *error);

}  // namespace host
