// The key script (--keys, --keys-file): key names separated by blanks, commas or line breaks.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace host {

// A digit or letter (either case) is that key; Num0-Num9 the keypad digits; Esc, Shift,
// Period; 0xNN any virtual-key code. False, with the reason, for a name that is none of these.
bool parse_key_script(const std::string &script, std::vector<UINT> *keys, std::string *error);

// The whole content of a key script file, of any length; "-" is standard input. False, with
// the reason, when it cannot be read.
bool read_key_script(const std::string &path, std::string *script, std::string *error);

}  // namespace host
