// Fuzzes the dump parsers of gdibench-inspect: any bytes as a three-number and a one-number dump
// of a width the first byte chooses. A dump that is accepted must be exactly what "%3d" and a
// space writes for the values read, so the parser can neither take a fault nor misread a number.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dump_parser.h"
#include "refusal.h"

namespace {

template <typename Parse>
void parse_and_check(const uint8_t *data, size_t size, int width, int numbers, Parse parse) {
    size_t element_size = size_t(3 * numbers + 1);
    int height = int(size / element_size / size_t(width));
    if (height < 1) height = 1;
    inspect::Picture picture(width, height);
    try {
        parse(data, size, &picture);
    } catch (const inspect::Refusal &refusal) {
        if (refusal.offset < 0 || size_t(refusal.offset) > size) std::abort();
        return;
    }
    std::string written;
    char text[8];
    for (size_t i = 0; i < picture.pixels(); ++i) {
        for (int n = 0; n < numbers; ++n) {
            std::snprintf(text, sizeof text, "%3d", picture.bgr[i * 3 + size_t(n)]);
            written += text;
        }
        written += ' ';
    }
    if (written != std::string(reinterpret_cast<const char *>(data), size)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    int width = 1 + data[0] % 8;
    parse_and_check(data + 1, size - 1, width, 3, inspect::parse_three_number_dump);
    parse_and_check(data + 1, size - 1, width, 1, inspect::parse_one_number_dump);
    return 0;
}
