// Two dumps of one format and length read together, for comparing them: elements of B that are
// byte for byte those of A take A's pixels instead of being parsed again, and each half of the
// files is read on a thread of its own (or both on one when no thread can be started).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

#include "refusal.h"

namespace inspect {

struct PairFaults {
    std::optional<Refusal> a;  // A's first fault
    std::optional<Refusal> b;  // B's first fault, when A has none before it in its half
};

// `count` elements of `numbers` numbers each, which both files hold exactly, into the pixels `pa`
// and `pb`.
PairFaults parse_dump_pair(const uint8_t *a, const uint8_t *b, int numbers, size_t count, uint8_t *pa, uint8_t *pb);

}  // namespace inspect
