#include "dump_pair.h"

#include <cstring>

#include "dump_parser.h"
#include "two_threads.h"

namespace inspect {
namespace {

const size_t kChunk = 512;  // elements compared, and parsed when they differ, at a time

// Elements first to end of both dumps. A's fault ends the work; B's first fault is kept while A
// goes on, since A's faults are reported first.
PairFaults parse_range(const uint8_t *a, const uint8_t *b, int numbers, size_t first, size_t end, uint8_t *pa,
                       uint8_t *pb) {
    size_t element_size = size_t(3 * numbers + 1);
    PairFaults faults;
    for (size_t chunk = first; chunk < end; chunk += kChunk) {
        size_t stop = chunk + kChunk < end ? chunk + kChunk : end;
        try {
            parse_dump_elements(a, numbers, chunk, stop, pa + 3 * chunk);
        } catch (const Refusal &refusal) {
            faults.a = refusal;
            return faults;
        }
        if (faults.b) continue;
        size_t offset = chunk * element_size, bytes = (stop - chunk) * element_size;
        if (std::memcmp(a + offset, b + offset, bytes) == 0) {
            std::memcpy(pb + 3 * chunk, pa + 3 * chunk, 3 * (stop - chunk));
            continue;
        }
        try {
            parse_dump_elements(b, numbers, chunk, stop, pb + 3 * chunk);
        } catch (const Refusal &refusal) {
            faults.b = refusal;
        }
    }
    return faults;
}

}  // namespace

PairFaults parse_dump_pair(const uint8_t *a, const uint8_t *b, int numbers, size_t count, uint8_t *pa, uint8_t *pb) {
    size_t half = count / 2;
    PairFaults first, second;
    run_both([&] { first = parse_range(a, b, numbers, 0, half, pa, pb); },
             [&] { second = parse_range(a, b, numbers, half, count, pa, pb); });
    // The first half's faults come first in the files.
    PairFaults faults;
    faults.a = first.a ? first.a : second.a;
    if (!faults.a) faults.b = first.b ? first.b : second.b;
    return faults;
}

}  // namespace inspect
