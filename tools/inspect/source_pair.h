// Two files read side by side a band at a time, for comparing them. Two dumps of one format take
// the dump pair's road (see dump_pair.h). A refusal of the first file comes before one of the
// second, wherever in the files they lie.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "refusal.h"
#include "sources.h"

namespace inspect {

class SourcePair {
public:
    // Opens both files at once (on two threads when it can).
    SourcePair(const std::string &path_a, const std::string &path_b, const ReadRequest &request);

    // Pixels [first, first + count) of both, as blue, green, red bytes.
    using Visit = std::function<void(uint64_t first, size_t count, const uint8_t *a, const uint8_t *b)>;
    // When both are of one size, visits all their pixels in bands and returns true; otherwise
    // reads both through and returns false. Throws A's first refusal, else B's.
    bool visit(const Visit &each);

    // Either file as recognised (once opened without a refusal of A).
    const FileInfo &a() const { return a_->info; }
    const FileInfo &b() const { return b_->info; }

private:
    // What `read` reads of B, or null once B has been refused (which is kept until A has been read through).
    const uint8_t *from_b(const std::function<const uint8_t *()> &read);
    void visit_dump_band(DumpSource &a, DumpSource &b, uint64_t first, size_t count, const Visit &each);

    std::unique_ptr<PictureSource> a_, b_;
    std::optional<Refusal> b_refused_;
};

}  // namespace inspect
