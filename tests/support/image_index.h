// An image folder's index (INDEX.txt): each file's subfolder, verdict and reference rendering.
// The generated test images and the BMP corpus share the format.
#pragma once
#include <string>
#include <vector>

namespace benchtest {

struct IndexEntry {
    std::string file;       // e.g. "g/pal8.bmp", relative to the folder
    std::string verdict;    // LOAD, EITHER, REJECT, REJECT|TOLERATE
    std::string facts;      // header size, bit count, compression, size
    std::string reference;  // first listed reference in ref/, "" for none
};

std::vector<IndexEntry> read_image_index(const std::string &folder);

// The entry's verdict as the platform gives it: the corpus's b/badheadersize, whose 66-byte header
// the index refuses, loads there, as every header of 40 bytes or more does.
std::string platform_verdict(const IndexEntry &entry);

// Compressed pixels (RLE, embedded JPEG or PNG, Huffman), which a DIB section cannot hold.
bool compressed(const IndexEntry &entry);

}  // namespace benchtest
