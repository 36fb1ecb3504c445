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

const uint8_t *SourcePair::from_b(const std::function<const uint8_t *()> &read) {
    if (b_refused_) return nullptr;
    try {
        return read();
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
    bool dumps = same_size && dump_a && dump_b && dump_a->numbers() == dump_b->numbers();
    for_each_band(a_->info.pixels(), [&](uint64_t first, size_t count) {
        if (dumps) return visit_dump_band(*dump_a, *dump_b, first, count, each);
        const uint8_t *a = naming(a_->info.file, [&] { return a_->band(first, count); });
        const uint8_t *b = same_size ? from_b([&] { return b_->band(first, count); }) : nullptr;
        if (b) each(first, count, a, b);
    });
    if (!same_size && !b_refused_) naming(b_->info.file, [&] { read_through(*b_); });
    if (b_refused_) throw *b_refused_;
    return same_size;
}

// The files' bytes are compared before they are parsed (see dump_pair.h).
void SourcePair::visit_dump_band(DumpSource &a, DumpSource &b, uint64_t first, size_t count, const Visit &each) {
    const uint8_t *bytes_b = from_b([&] { return b.bytes(first, count); });
    if (!bytes_b) {  // A alone, for a fault of its own
        naming(a.info.file, [&] { a.band(first, count); });
        return;
    }
    const uint8_t *bytes_a = naming(a.info.file, [&] { return a.bytes(first, count); });
    uint8_t *pa = a.pixel_room(count), *pb = b.pixel_room(count);
    PairFaults faults = parse_dump_pair(bytes_a, bytes_b, a.numbers(), count, pa, pb);
    uint64_t offset = first * uint64_t(3 * a.numbers() + 1);
    for (auto [fault, file] : {std::pair{&faults.a, &a.info.file}, std::pair{&faults.b, &b.info.file}}) {
        if (!*fault) continue;
        (*fault)->offset += int64_t(offset);
        (*fault)->file = *file;
    }
    if (faults.a) throw *faults.a;
    if (faults.b)
        b_refused_ = faults.b;
    else
        each(first, count, pa, pb);
}

}  // namespace inspect
