// The key script (--keys, --keys-file): key names separated by blanks, commas or line breaks.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace host {

// A digit or letter (either case) is that key; Num0-Num9 the keypad digits; Esc, Shift,
// Period; 0xNN any virtual-key code. False, with the reason, for a name that is none of these.
bool parse_key_script(const std::string &script, std::vector<UINT> *keys, std::string *error);

// A key script file read as it arrives, a key at a time, so that a pipe or FIFO that never ends
// runs the keys it has given, and an endless file costs no more than one key name's bytes. It is
// read only when a read would not wait, so that an idle pipe holds up nothing else.
class KeyFile {
public:
    enum class Next { Key, Later, End, Refused };

    KeyFile() = default;
    ~KeyFile();
    KeyFile(const KeyFile &) = delete;
    KeyFile &operator=(const KeyFile &) = delete;

    // Opens path ("-": standard input); false, with the reason, when it cannot be read.
    bool open(const std::string &path, std::string *error);
    // The next key, once the separator after its name (or the end of the file) has been read.
    // Later while the file has not given that much yet: descriptor() becomes readable when it
    // has more. Refused, with the reason, for a name that is no key or a failed read.
    Next next(UINT *vk, std::string *error);
    int descriptor() const { return fd_; }

private:
    bool fill(std::string *error);

    std::string path_;
    int fd_ = -1;
    char buffer_[4096];
    std::string token_;  // the name being read
    size_t at_ = 0, size_ = 0;
    bool ended_ = false;
};

}  // namespace host
