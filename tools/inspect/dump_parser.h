// Parsers of the bench's number dumps: elements of "%3d" numbers and a space, no line breaks.
// Every byte is checked; the first one that "%3d" of a byte value cannot have written is refused.
#pragma once
#include <cstddef>
#include <cstdint>

#include "picture.h"

namespace inspect {

// Three numbers an element (blue, green, red: dump types 1, 8, 9), one element a pixel of the
// picture, which gives the size. Throws Refusal at the first fault.
void parse_three_number_dump(const uint8_t *data, size_t size, Picture *picture);

// One number an element, shown as grey. Throws Refusal at the first fault.
void parse_one_number_dump(const uint8_t *data, size_t size, Picture *picture);

// Elements `first` to `end` (exclusive) of a dump of `numbers` numbers an element that holds them
// whole, as pixels from `bgr` on. Throws Refusal at the first fault, its offset counted from `data`.
void parse_dump_elements(const uint8_t *data, int numbers, size_t first, size_t end, uint8_t *bgr);

// Refuses a dump of `size` bytes, not the length of width x height elements, whose whole elements
// (as many as fit) are sound: a fault in its last, partial element, which `tail` holds (the bytes
// after the whole ones), or else its length.
[[noreturn]] void refuse_dump_length(const uint8_t *tail, uint64_t size, int width, int height, int numbers);

}  // namespace inspect
