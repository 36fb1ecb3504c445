#include "support/corpus_index.h"

#include <windows.h>

#include <bitset>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "support/bench_run.h"
#include "support/reference_pixels.h"

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

std::string platform_verdict(const CorpusEntry &entry) {
    return entry.file == "b/badheadersize.bmp" ? "LOAD" : entry.verdict;
}

std::array<int, 3> channel_widths(const std::string &bmp_path) {
    std::ifstream in(bmp_path, std::ios::binary);
    std::string file(std::istreambuf_iterator<char>(in), {});
    BITMAPINFOHEADER header;
    if (file.size() < 14 + sizeof header + 12) return {8, 8, 8};
    std::memcpy(&header, file.data() + 14, sizeof header);
    if (header.biSize < sizeof header) return {8, 8, 8};
    if (header.biCompression == BI_BITFIELDS) {
        uint32_t masks[3];
        std::memcpy(masks, file.data() + 14 + sizeof header, sizeof masks);
        return {int(std::bitset<32>(masks[0]).count()), int(std::bitset<32>(masks[1]).count()),
                int(std::bitset<32>(masks[2]).count())};
    }
    return header.biBitCount == 16 ? std::array<int, 3>{5, 5, 5} : std::array<int, 3>{8, 8, 8};
}

uint32_t platform_colour(const uint8_t *reference, const std::array<int, 3> &widths) {
    uint32_t colour = 0;
    for (int c = 0; c < 3; ++c) {
        uint32_t scaled = reference[c], width = uint32_t(widths[size_t(c)]);
        if (width < 8) {
            uint32_t max = (1u << width) - 1;
            scaled = expand_channel((scaled * max + 127) / 255, int(width));
        }
        colour |= scaled << (16 - 8 * c);
    }
    return colour;
}

}  // namespace benchtest
