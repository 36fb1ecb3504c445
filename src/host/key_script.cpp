#include "host/key_script.h"

#include <strings.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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

// Whether the script read so far ends in a token longer than any key name.
bool ends_in_overlong_token(const std::string &script) {
    return script.size() > kLongestToken &&
           script.find_first_of(kSeparators, script.size() - kLongestToken - 1) == std::string::npos;
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

}  // namespace

bool parse_key_script(const std::string &script, std::vector<UINT> *keys, std::string *error) {
    size_t pos = 0;
    while ((pos = script.find_first_not_of(kSeparators, pos)) != std::string::npos) {
        size_t end = script.find_first_of(kSeparators, pos);
        std::string token = script.substr(pos, end - pos);
        UINT vk = 0;
        if (token.size() > kLongestToken) {
            *error = "a key name of over " + std::to_string(kLongestToken) + " bytes, " + quoted(token) +
                     ", in the key script";
            return false;
        }
        if (!key_of(token, &vk)) {
            *error = "unknown key name " + quoted(token) + " in the key script (use a digit or letter, Num0-Num9, Esc, Shift, Period or 0xNN)";
            return false;
        }
        keys->push_back(vk);
        pos = end;
    }
    return true;
}

bool read_key_script(const std::string &path, std::string *script, std::string *error) {
    bool from_stdin = path == "-";
    FILE *file = from_stdin ? stdin : std::fopen(path.c_str(), "rb");
    bool read = file != nullptr;
    char buffer[65536];
    while (read && !std::feof(file) && !ends_in_overlong_token(*script)) {
        script->append(buffer, std::fread(buffer, 1, sizeof(buffer), file));
        read = !std::ferror(file);
    }
    if (!read) *error = "cannot read the key script " + path + ": " + std::strerror(errno);
    if (file && !from_stdin) fclose(file);
    return read;
}

}  // namespace host
