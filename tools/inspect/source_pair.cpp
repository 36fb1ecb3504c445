#include "source_pair.h"

#include "dump_pair.h"
#include "two_threads.h"

namespace inspect {

SourcePair::SourcePair(const std::string &path_a, const std::string &path_b, const ReadRequest &request) {
    run_both([&] { a_ = open_source(path_a, request); },
             [&] {
                 try {
                     b_ = open_source(path_b, request);
                 } catch (const Refusal &refusal) {
                     b_refused_ = refusal;
                 }
             });
}

const uint8_t *SourcePair::band_of_b(uint64_t first, size_t count) {
    if (b_refused_) return nullptr;
    try {
        return b_->band(first, count);
    } catch (Refusal &refusal) {
        refusal.file = b_->info.file;
        b_refused_ = refusal;
        return nullptr;
    }
}

bool SourcePair::visit(const Visit &each) {
    bool same_size = b_ && a_->info.width == b_->info.width && a_->info.height == b_->info.height;
    auto *dump_a = dynamic_cast<DumpSource *>(a_.get());
    auto *dump_b = dynamic_cast<DumpSource *>(b_.get());
    if (same_size && dump_a && dump_b && dump_a->numbers() == dump_b->numbers())
        return visit_dumps(*dump_a, *dump_b, each);
    uint64_t pixels = a_->info.pixels();
    for (uint64_t first = 0; first < pixels; first += kBandPixels) {
        size_t count = size_t(pixels - first < kBandPixels ? pixels - first : kBandPixels);
        const uint8_t *a = naming(a_->info.file, [&] { return a_->band(first, count); });
        const uint8_t *b = same_size ? band_of_b(first, count) : nullptr;
        if (b) each(first, count, a, b);
    }
    if (!same_size && !b_refused_) naming(b_->info.file, [&] { read_through(*b_); });
    if (b_refused_) throw *b_refused_;
    return same_size;
}

bool SourcePair::visit_dumps(DumpSource &a, DumpSource &b, const Visit &each) {
    uint64_t pixels = a.info.pixels(), element = uint64_t(3 * a.numbers() + 1);
    for (uint64_t first = 0; first < pixels; first += kBandPixels) {
        size_t count = size_t(pixels - first < kBandPixels ? pixels - first : kBandPixels);
        if (b_refused_) {  // A alone, for a fault of its own
            naming(a.info.file, [&] { a.band(first, count); });
            continue;
        }
        const uint8_t *bytes_a = naming(a.info.file, [&] { return a.bytes(first, count); }), *bytes_b = nullptr;
        try {
            bytes_b = b.bytes(first, count);
        } catch (Refusal &refusal) {
            refusal.file = b.info.file;
            b_refused_ = refusal;
            naming(a.info.file, [&] { a.band(first, count); });
            continue;
        }
        uint8_t *pa = a.pixel_room(count), *pb = b.pixel_room(count);
        PairFaults faults = parse_dump_pair(bytes_a, bytes_b, a.numbers(), count, pa, pb);
        for (auto [fault, file] : {std::pair{&faults.a, &a.info.file}, std::pair{&faults.b, &b.info.file}}) {
            if (!*fault) continue;
            (*fault)->offset += int64_t(first * element);
            (*fault)->file = *file;
        }
        if (faults.a) throw *faults.a;
        if (faults.b) {
            b_refused_ = faults.b;
            continue;
        }
        each(first, count, pa, pb);
    }
    if (b_refused_) throw *b_refused_;
    return true;
}

}  // namespace inspect
