#include "dump_parser.h"

#include <cstring>
#include <optional>
#include <string>

#include "refusal.h"

namespace inspect {
namespace {

const unsigned kNotANumber = 0x7FF;  // times ten it exceeds 255 whatever digit follows

// The value of a number's first two characters, in tens, by those two bytes read as one
// little-endian 16-bit key: "  " 0, " 7" 7, "25" 25; anything "%3d" never writes is kNotANumber.
struct TensTable {
    uint16_t tens[65536];
    TensTable() {
        for (unsigned key = 0; key < 65536; ++key) tens[key] = kNotANumber;
        auto set = [this](char first, char second, unsigned value) {
            tens[uint8_t(first) | (uint8_t(second) << 8)] = uint16_t(value);
        };
        set(' ', ' ', 0);
        for (char d = '1'; d <= '9'; ++d) set(' ', d, unsigned(d - '0'));
        for (char a = '1'; a <= '2'; ++a)
            for (char b = '0'; b <= '9'; ++b) set(a, b, unsigned(a - '0') * 10 + unsigned(b - '0'));
    }
};
const TensTable kTens;

// The number at `field`, or a value over 255 when its three bytes are not "%3d" of a byte.
inline unsigned number_at(const uint8_t *field) {
    uint16_t key;
    std::memcpy(&key, field, 2);
    unsigned digit = unsigned(field[2]) - '0';
    return digit <= 9 ? kTens.tens[key] * 10u + digit : 256u;
}

bool is_digit(uint8_t c) { return c >= '0' && c <= '9'; }

// The first fault among the `available` bytes of a "%3d" field that starts at `offset`.
std::optional<Refusal> field_fault(const uint8_t *f, size_t available, int64_t offset) {
    size_t first_digit = 0;
    while (first_digit < 2 && first_digit < available && f[first_digit] == ' ') ++first_digit;
    for (size_t i = first_digit; i < 3 && i < available; ++i) {
        if (!is_digit(f[i]))
            return expected(i == first_digit && i < 2 ? "a digit or a space" : "a digit", offset + int64_t(i));
        if (i == first_digit && i < 2 && f[i] == '0')
            return expected("a digit 1 to 9 or a space (no leading zero)", offset + int64_t(i));
    }
    if (available >= 3 && number_at(f) > 255) return expected("a number of at most 255", offset);
    return std::nullopt;
}

// The first fault among the `available` bytes of an element of `numbers` fields and a space.
std::optional<Refusal> element_fault(const uint8_t *e, size_t available, int numbers, int64_t offset) {
    for (int n = 0; n < numbers; ++n) {
        size_t start = size_t(3 * n);
        if (start >= available) return std::nullopt;
        if (auto fault = field_fault(e + start, available - start, offset + int64_t(start))) return fault;
    }
    size_t space = size_t(3 * numbers);
    if (space < available && e[space] != ' ') return expected("a space after the numbers", offset + int64_t(space));
    return std::nullopt;
}

std::string size_text(int width, int height, size_t element_size) {
    return std::to_string(uint64_t(width) * uint64_t(height) * element_size) + " bytes (" + std::to_string(width) +
           " x " + std::to_string(height) + " elements of " + std::to_string(element_size) + ")";
}

template <int kNumbers>
void parse_range(const uint8_t *data, size_t first, size_t end, uint8_t *out) {
    const size_t element_size = 3 * kNumbers + 1;
    const uint8_t *e = data + first * element_size;
    for (size_t i = first; i < end; ++i, e += element_size, out += 3) {
        unsigned v0 = number_at(e);
        unsigned v1 = kNumbers == 3 ? number_at(e + 3) : v0;
        unsigned v2 = kNumbers == 3 ? number_at(e + 6) : v0;
        if ((v0 | v1 | v2) > 255 || e[element_size - 1] != ' ') {
            if (auto fault = element_fault(e, element_size, kNumbers, int64_t(e - data))) throw *fault;
        }
        out[0] = uint8_t(v0);
        out[1] = uint8_t(v1);
        out[2] = uint8_t(v2);
    }
}

void parse_elements(const uint8_t *data, size_t size, int numbers, Picture *picture) {
    size_t element_size = size_t(3 * numbers + 1);
    size_t count = picture->pixels();
    size_t whole = size / element_size < count ? size / element_size : count;
    parse_dump_elements(data, numbers, 0, whole, picture->bgr.data());
    if (size != count * element_size)
        refuse_dump_length(data + whole * element_size, size, picture->width, picture->height, numbers);
}

}  // namespace

void refuse_dump_length(const uint8_t *tail, uint64_t size, int width, int height, int numbers) {
    size_t element_size = size_t(3 * numbers + 1);
    uint64_t expected_size = uint64_t(width) * uint64_t(height) * element_size;
    Refusal refusal = expected(size_text(width, height, element_size) + ", then the end of the file",
                               int64_t(expected_size));
    if (size < expected_size) {
        uint64_t whole = size - size % element_size;
        if (auto fault = element_fault(tail, size_t(size - whole), numbers, int64_t(whole))) throw *fault;
        refusal = expected(size_text(width, height, element_size) + ", but the file ends early", int64_t(size));
    }
    refusal.note = length_mismatch(size, expected_size, width, height, int(element_size));
    throw refusal;
}

void parse_dump_elements(const uint8_t *data, int numbers, size_t first, size_t end, uint8_t *bgr) {
    if (numbers == 3)
        parse_range<3>(data, first, end, bgr);
    else
        parse_range<1>(data, first, end, bgr);
}

void parse_three_number_dump(const uint8_t *data, size_t size, Picture *picture) {
    parse_elements(data, size, 3, picture);
}

void parse_one_number_dump(const uint8_t *data, size_t size, Picture *picture) {
    parse_elements(data, size, 1, picture);
}

}  // namespace inspect
