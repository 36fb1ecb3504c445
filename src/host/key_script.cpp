#include "host/key_script.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "sys/readable.h"

namespace host {
namespace {

struct NamedKey {
    const char *name;
    UINT vk;
};

// No key name is longer; a longer token (a binary file, /dev/zero) is refused without reading on.
constexpr size_t kLongestToken = 64;
// A refused token is quoted this far.
constexpr size_t kQuotedLength = 40;
constexpr char kSeparators[] = " ,\t\r\n";

// The token as a refusal shows it: its first characters, control bytes as \xNN.
std::string quoted(const std::string &token) {
    std::string text = "\"";
    for (size_t i = 0; i < token.size() && i < kQuotedLength; ++i) {
        unsigned char c = (unsigned char)token[i];
        char escaped[8];
        if (std::iscntrl(c)) {
            std::snprintf(escaped, sizeof(escaped), "\\x%02X", c);
            text += escaped;
            continue;
        }
        if (c == '"' || c == '\\') text += '\\';
        text += char(c);
    }
    return text + (token.size() > kQuotedLength ? "\"..." : "\"");
}

constexpr NamedKey kNamedKeys[] = {{"Esc", VK_ESCAPE}, {"Shift", VK_SHIFT}, {"Period", VK_OEM_PERIOD}};

bool hex_code(const std::string &token, UINT *vk) {
    if (token.size() < 3 || token.size() > 4 || token[0] != '0' || (token[1] != 'x' && token[1] != 'X'))
        return false;
    for (size_t i = 2; i < token.size(); ++i)
        if (!std::isxdigit((unsigned char)token[i])) return false;
    unsigned long value = std::strtoul(token.c_str() + 2, nullptr, 16);
    if (value == 0 || value > 0xFF) return false;
    *vk = UINT(value);
    return true;
}

bool keypad_digit(const std::string &token, UINT *vk) {
    if (token.size() != 4 || strncasecmp(token.c_str(), "Num", 3) != 0 || !std::isdigit((unsigned char)token[3]))
        return false;
    *vk = VK_NUMPAD0 + (token[3] - '0');
    return true;
}

bool key_of(const std::string &token, UINT *vk) {
    if (token.size() == 1 && std::isalnum((unsigned char)token[0])) {
        *vk = UINT(std::toupper((unsigned char)token[0]));
        return true;
    }
    for (const NamedKey &key : kNamedKeys) {
        if (strcasecmp(token.c_str(), key.name) == 0) {
            *vk = key.vk;
            return true;
        }
    }
    return keypad_digit(token, vk) || hex_code(token, vk);
}

// The key of one token; false, with the reason, for a name that is no key.
bool parse_key(const std::string &token, UINT *vk, std::string *error) {
    if (token.size() > kLongestToken) {
        *error = "a key name of over " + std::to_string(kLongestToken) + " bytes, " + quoted(token) +
                 ", in the key script";
        return false;
    }
    if (!key_of(token, vk)) {
        *error = "unknown key name " + quoted(token) +
                 " in the key script (use a digit or letter, Num0-Num9, Esc, Shift, Period or 0xNN)";
        return false;
    }
    return true;
}

bool is_separator(char c) { return std::strchr(kSeparators, c) != nullptr && c != '\0'; }

}  // namespace

bool parse_key_script(const std::string &script, std::vector<UINT> *keys, std::string *error) {
    size_t pos = 0;
    while ((pos = script.find_first_not_of(kSeparators, pos)) != std::string::npos) {
        size_t end = script.find_first_of(kSeparators, pos);
        UINT vk = 0;
        if (!parse_key(script.substr(pos, end - pos), &vk, error)) return false;
        keys->push_back(vk);
        pos = end;
    }
    return true;
}

KeyFile::~KeyFile() {
    if (fd_ > STDIN_FILENO) close(fd_);
}

bool KeyFile::open(const std::string &path, std::string *error) {
    path_ = path;
    fd_ = path == "-" ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    struct stat info;
    bool folder = fd_ >= 0 && fstat(fd_, &info) == 0 && S_ISDIR(info.st_mode);
    if (fd_ >= 0 && !folder) return true;
    *error = "cannot read the key script " + path + ": " + std::strerror(folder ? EISDIR : errno);
    return false;
}

bool KeyFile::fill(std::string *error) {
    ssize_t n;
    do n = read(fd_, buffer_, sizeof buffer_);
    while (n < 0 && errno == EINTR);
    if (n < 0) {
        *error = "cannot read the key script " + path_ + ": " + std::strerror(errno);
        return false;
    }
    at_ = 0;
    size_ = size_t(n);
    ended_ = n == 0;
    return true;
}

KeyFile::Next KeyFile::next(UINT *vk, std::string *error) {
    // A token longer than any key name is cut one byte past the longest, which is enough to refuse it.
    while (token_.size() <= kLongestToken) {
        if (at_ == size_ && !ended_) {
            if (!sys::wait_readable(fd_, 0)) return Next::Later;
            if (!fill(error)) return Next::Refused;
        }
        if (at_ == size_) break;
        char c = buffer_[at_++];
        if (!is_separator(c))
            token_ += c;
        else if (!token_.empty())
            break;
    }
    std::string token = std::move(token_);
    token_.clear();
    if (token.empty()) return Next::End;
    return parse_key(token, vk, error) ? Next::Key : Next::Refused;
}

}  // namespace host
