#include "support/corpus_index.h"

#include <fstream>
#include <sstream>

#include "support/bench_run.h"

namespace benchtest {
namespace {

std::string trim(const std::string &text) {
    size_t first = text.find_first_not_of(' ');
    size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

std::vector<std::string> columns(const std::string &line) {
    std::vector<std::string> parts;
    std::stringstream stream(line);
    std::string part;
    while (std::getline(stream, part, '|')) parts.push_back(trim(part));
    return parts;
}

}  // namespace

std::vector<CorpusEntry> read_bmp_corpus_index() {
    std::vector<CorpusEntry> entries;
    std::ifstream in(corpus_path("bmp/INDEX.txt"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() < 3 || line[1] != '/' || line.find(".bmp") == std::string::npos) continue;
        std::vector<std::string> parts = columns(line);
        if (parts.size() < 5) continue;
        // "REJECT|TOLERATE" splits in two columns; the reference column starts with "ref:".
        size_t ref_column = parts[2].rfind("TOLERATE", 0) == 0 ? 4 : 3;
        CorpusEntry entry;
        entry.file = parts[0];
        entry.verdict = ref_column == 4 ? parts[1] + "|" + parts[2] : parts[1];
        entry.facts = parts[ref_column - 1];
        std::string ref = trim(parts[ref_column].substr(4));
        entry.reference = ref == "-" ? "" : ref;
        entries.push_back(entry);
    }
    return entries;
}

}  // namespace benchtest
