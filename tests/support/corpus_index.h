// The BMP corpus index: each file's folder, verdict and first reference rendering.
#pragma once
#include <array>
#include <cstdint>
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

// The entry's verdict as the platform gives it: b/badheadersize, whose 66-byte header the index
// refuses, loads there, as every header of 40 bytes or more does.
std::string platform_verdict(const CorpusEntry &entry);

// Widths of a BMP file's red, green and blue channels: its masks' for bit fields, 5 for 16-bit
// pixels without masks, else 8.
std::array<int, 3> channel_widths(const std::string &bmp_path);

// The references scale an n-bit channel to 8 bits (v * 255 / max); the platform repeats its bits
// instead (v << 3 | v >> 2 for 5 bits). The colour 0xRRGGBB the platform shows where a reference
// has the bytes r, g, b (channels of 8 bits or more are taken as they are).
uint32_t platform_colour(const uint8_t *reference, const std::array<int, 3> &widths);

}  // namespace benchtest
