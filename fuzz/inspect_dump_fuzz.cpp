// Fuzzes the dump parsers of gdibench-inspect: any bytes as a three-number and a one-number dump
// of a width the first byte chooses. A dump that is accepted must be exactly what "%3d" and a
// space writes for the values read, so the parser can neither take a fault nor misread a number.
// The same bytes and a copy with one byte changed, read together as a pair, must give what each
// gives on its own.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "dump_pair.h"
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

// The first fault of `count` elements on their own, and their pixels.
std::optional<int64_t> parse_alone(const uint8_t *data, int numbers, size_t count, std::vector<uint8_t> *bgr) {
    try {
        inspect::parse_dump_elements(data, numbers, 0, count, bgr->data());
    } catch (const inspect::Refusal &refusal) {
        return refusal.offset;
    }
    return std::nullopt;
}

void check_pair(const uint8_t *data, size_t size, int numbers, size_t changed) {
    size_t count = size / size_t(3 * numbers + 1);
    if (count < 2) return;
    std::vector<uint8_t> b(data, data + size);
    b[changed % size] ^= 0x11;
    std::vector<uint8_t> alone_a(3 * count), alone_b(3 * count), pair_a(3 * count), pair_b(3 * count);
    std::optional<int64_t> fault_a = parse_alone(data, numbers, count, &alone_a);
    std::optional<int64_t> fault_b = parse_alone(b.data(), numbers, count, &alone_b);
    inspect::PairFaults pair = inspect::parse_dump_pair(data, b.data(), numbers, count, pair_a.data(), pair_b.data());
    if (fault_a != (pair.a ? std::optional<int64_t>(pair.a->offset) : std::nullopt)) std::abort();
    if (fault_a) return;
    if (fault_b != (pair.b ? std::optional<int64_t>(pair.b->offset) : std::nullopt)) std::abort();
    if (!fault_b && (pair_a != alone_a || pair_b != alone_b)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2) return 0;
    int width = 1 + data[0] % 8;
    size_t changed = data[1];
    parse_and_check(data + 2, size - 2, width, 3, inspect::parse_three_number_dump);
    parse_and_check(data + 2, size - 2, width, 1, inspect::parse_one_number_dump);
    check_pair(data + 2, size - 2, 3, changed);
    check_pair(data + 2, size - 2, 1, changed);
    return 0;
}
