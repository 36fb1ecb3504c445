// The BMP corpus index: each file's folder, verdict and first reference rendering.
#pragma once
#include <string>
#include <vector>

namespace benchtest {

struct CorpusEntry {
    std::string file;       // e.g. "g/pal8.bmp"
    std::string verdict;    // LOAD, EITHER, REJECT, REJECT|TOLERATE
    std::string facts;      // header size, bit count, compression, size
    std::string reference;  // first listed reference, "" for none
};

std::vector<CorpusEntry> read_bmp_corpus_index();

}  // namespace benchtest
