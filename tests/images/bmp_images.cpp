// BMP files written byte by byte: every bit depth, header version, colour-table length and row
// order, bit fields with usual and unusual masks, RLE8 and RLE4, and malformed files.
#include <algorithm>
#include <functional>

#include "test_images.h"

namespace testimages {
namespace {

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3 };

// What a file holds; `damage` then breaks the finished bytes of a malformed one.
struct Bmp {
    std::string file;
    std::string verdict = "LOAD";
    int header = 40;  // 12 core, 40 info, 52, 56, 64, 108 v4, 124 v5
    int width = 13, height = 6;  // a negative height stores the rows top-down
    int bpp = 24;
    uint32_t compression = kRgb;
    std::vector<uint32_t> masks;  // red, green, blue (and alpha) for bit fields
    int table = 0;                // colour-table entries stored; 0: 2^bpp for indexed pixels
    uint32_t colours_used = 0;    // biClrUsed as written
    size_t gap = 0;               // bytes between the colour table and the pixels
    std::function<void(std::string &)> damage;
};

void put16(std::string &bytes, size_t at, uint32_t v) {
    bytes[at] = char(v);
    bytes[at + 1] = char(v >> 8);
}

void put32(std::string &bytes, size_t at, uint32_t v) {
    put16(bytes, at, v & 0xFFFF);
    put16(bytes, at + 2, v >> 16);
}

void append32(std::string &bytes, uint32_t v) {
    bytes.append(4, '\0');
    put32(bytes, bytes.size() - 4, v);
}

// Field offsets in the file, for damaging finished files.
enum Field : size_t { kFileSize = 2, kOffBits = 10, kHeaderSize = 14, kWidth = 18, kHeight = 22, kPlanes = 26,
                      kBitCount = 28, kCompressionField = 30, kColoursUsed = 46, kMasks = 54 };

uint32_t palette_colour(int i) {
    return argb(255, unsigned(i * 67 + 13) & 0xFF, unsigned(i * 151 + 101) & 0xFF, unsigned(i * 29 + 200) & 0xFF);
}

int index_at(int x, int y, int colours) { return (x + 3 * y + x * y / 3) % colours; }

int table_entries(const Bmp &bmp) {
    if (bmp.table) return bmp.table;
    return bmp.bpp <= 8 ? 1 << bmp.bpp : 0;
}

// Entries the pixels can index: a table longer than 2^bpp keeps its extra entries unused.
int indexable(const Bmp &bmp) { return std::min(table_entries(bmp), 1 << bmp.bpp); }

int rows_of(const Bmp &bmp) { return bmp.height < 0 ? -bmp.height : bmp.height; }

int stride_of(const Bmp &bmp) { return (bmp.width * bmp.bpp + 31) / 32 * 4; }

std::vector<uint32_t> masks_of(const Bmp &bmp) {
    if (!bmp.masks.empty()) return bmp.masks;
    return bmp.bpp == 16 ? std::vector<uint32_t>{0x7C00, 0x03E0, 0x001F}
                         : std::vector<uint32_t>{0xFF0000, 0xFF00, 0xFF};
}

int lowest_bit(uint32_t mask) {
    int shift = 0;
    while (mask && !(mask >> shift & 1)) ++shift;
    return shift;
}

int bit_count(uint32_t mask) {
    int n = 0;
    for (; mask; mask &= mask - 1) ++n;
    return n;
}

// A direct-colour pixel packed under the masks; `shown` gets the colour a decoder must show.
uint32_t pack(const std::vector<uint32_t> &masks, uint32_t colour, uint32_t *shown) {
    uint32_t packed = 0;
    *shown = 0xFF000000u;
    for (size_t c = 0; c < masks.size(); ++c) {
        int bits = bit_count(masks[c]);
        unsigned value8 = channel(colour, c < 3 ? 16 - 8 * int(c) : 24);
        uint32_t stored = narrow_channel(value8, bits);
        packed |= stored << lowest_bit(masks[c]);
        if (c < 3) *shown |= expand_channel(stored, bits) << (16 - 8 * c);
    }
    return packed;
}

// The pixel rows in file order, and the picture they show.
std::string pixel_rows(const Bmp &bmp, Picture *shown) {
    Picture source = photo(bmp.width, rows_of(bmp));
    std::string rows;
    for (int row = 0; row < rows_of(bmp); ++row) {
        int y = bmp.height < 0 ? row : rows_of(bmp) - 1 - row;
        std::string line(size_t(stride_of(bmp)), '\0');
        for (int x = 0; x < bmp.width; ++x) {
            uint32_t colour = source.at(x, y) & 0x00FFFFFF;
            colour |= uint32_t((x * 40 + y * 30) & 0xFF) << 24;  // alpha, where masks keep it
            if (bmp.bpp <= 8) {
                int index = index_at(x, y, indexable(bmp));
                int bit = x * bmp.bpp;
                line[size_t(bit / 8)] = char(line[size_t(bit / 8)] | index << (8 - bmp.bpp - bit % 8));
                shown->at(x, y) = palette_colour(index);
            } else if (bmp.bpp == 24 || (bmp.bpp == 32 && bmp.compression == kRgb)) {
                for (int c = 0; c < 3; ++c) line[size_t(x * bmp.bpp / 8 + c)] = char(channel(colour, 8 * c));
                shown->at(x, y) = colour | 0xFF000000u;
            } else {
                uint32_t packed = pack(masks_of(bmp), colour, &shown->at(x, y));
                for (int b = 0; b < bmp.bpp / 8; ++b) line[size_t(x * bmp.bpp / 8 + b)] = char(packed >> (8 * b));
            }
        }
        rows += line;
    }
    return rows;
}

std::string info_header(const Bmp &bmp) {
    std::string header(size_t(bmp.header), '\0');
    put32(header, 0, uint32_t(bmp.header));
    if (bmp.header == 12) {
        put16(header, 4, uint32_t(bmp.width));
        put16(header, 6, uint32_t(bmp.height));
        put16(header, 8, 1);
        put16(header, 10, uint32_t(bmp.bpp));
        return header;
    }
    put32(header, 4, uint32_t(bmp.width));
    put32(header, 8, uint32_t(bmp.height));
    put16(header, 12, 1);
    put16(header, 14, uint32_t(bmp.bpp));
    put32(header, 16, bmp.compression);
    put32(header, 32, bmp.colours_used);
    // Headers from 52 bytes on hold the masks themselves: three, or four from 56 bytes on.
    if (bmp.header >= 52 && bmp.header != 64) {
        size_t count = bmp.header == 52 ? 3 : 4;
        std::vector<uint32_t> masks = bmp.compression == kBitfields ? masks_of(bmp) : std::vector<uint32_t>{};
        for (size_t i = 0; i < count && i < masks.size(); ++i) put32(header, 40 + 4 * i, masks[i]);
    }
    if (bmp.header >= 108) header.replace(56, 4, "BGRs");  // colour space: sRGB
    return header;
}

std::string colour_table(const Bmp &bmp) {
    std::string table;
    for (int i = 0; i < table_entries(bmp); ++i) {
        uint32_t colour = palette_colour(i);
        for (int c = 0; c < 3; ++c) table += char(channel(colour, 8 * c));
        if (bmp.header != 12) table += '\0';
    }
    return table;
}

// Assembles a file from its info block (header, masks, colour table) and pixels.
std::string bmp_file(const Bmp &bmp, const std::string &pixels) {
    std::string block = info_header(bmp);
    if (bmp.header == 40 && bmp.compression == kBitfields)
        for (uint32_t mask : masks_of(bmp)) append32(block, mask);
    block += colour_table(bmp) + std::string(bmp.gap, '\x5A');
    std::string file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    put32(file, kFileSize, uint32_t(14 + block.size() + pixels.size()));
    put32(file, kOffBits, uint32_t(14 + block.size()));
    if (bmp.header != 12) put32(block, 20, uint32_t(pixels.size()));  // biSizeImage
    file += block + pixels;
    if (bmp.damage) bmp.damage(file);
    return file;
}

// RLE codes written together with the indices they mean: skipped pixels keep index 0.
class RleCodes {
public:
    RleCodes(int bits, int width, int height) : bits_(bits), width_(width), height_(height),
                                                indices_(size_t(width) * height, 0) {}

    void run(int count, int first, int second) {
        codes_ += char(count);
        codes_ += char(bits_ == 8 ? first : first << 4 | second);
        for (int i = 0; i < count; ++i) put(i % 2 && bits_ == 4 ? second : first);
    }
    void literal(const std::vector<int> &indices) {
        codes_ += '\0';
        codes_ += char(indices.size());
        std::string packed;
        for (size_t i = 0; i < indices.size(); ++i) {
            put(indices[i]);
            if (bits_ == 8) packed += char(indices[i]);
            else if (i % 2 == 0) packed += char(indices[i] << 4);
            else packed.back() = char(packed.back() | indices[i]);
        }
        if (packed.size() % 2) packed += '\0';
        codes_ += packed;
    }
    void delta(int dx, int dy) {
        codes_ += std::string("\0\2", 2) + char(dx) + char(dy);
        x_ += dx;
        y_ += dy;
    }
    void end_of_line() {
        codes_ += std::string("\0\0", 2);
        x_ = 0;
        ++y_;
    }
    void end_of_bitmap() { codes_ += std::string("\0\1", 2); }
    // Bytes that mean nothing to a decoder that keeps within the data.
    void raw(const std::string &bytes) { codes_ += bytes; }

    const std::string &codes() const { return codes_; }
    // The picture, top row first, in the colours of the table.
    Picture picture() const {
        Picture out(width_, height_);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                out.at(x, height_ - 1 - y) = palette_colour(indices_[size_t(y) * width_ + x]);
        return out;
    }

private:
    void put(int index) {
        if (x_ < width_ && y_ < height_) indices_[size_t(y_) * width_ + x_] = uint8_t(index);
        ++x_;
    }

    int bits_, width_, height_;
    std::vector<uint8_t> indices_;  // bottom row first, as the codes run
    std::string codes_;
    int x_ = 0, y_ = 0;
};

// Runs, literals (odd and even counts), a delta, ends of lines and the end of the bitmap.
RleCodes good_rle(int bits) {
    RleCodes rle(bits, 13, 6);
    rle.run(5, 1, 2);
    rle.literal({2, 3, 4, 5});
    rle.run(4, 6, 7);
    rle.end_of_line();
    rle.run(3, 7, 8);
    rle.delta(4, 1);
    rle.run(6, 8, 9);
    rle.end_of_line();
    rle.literal({9, 10, 11});
    rle.end_of_line();
    rle.run(13, 12, 13);
    rle.end_of_line();
    rle.run(2, 13, 14);
    rle.end_of_bitmap();
    return rle;
}

// Codes that break the rules: a run past the row end, a delta below the picture, more runs than
// the picture has pixels, a literal longer than the data.
std::vector<std::pair<std::string, RleCodes>> bad_rle(int bits) {
    std::vector<std::pair<std::string, RleCodes>> cases;
    RleCodes past_row(bits, 13, 6);
    past_row.run(40, 3, 4);
    past_row.end_of_line();
    past_row.run(5, 5, 6);
    cases.emplace_back("runpastrow", past_row);
    RleCodes below(bits, 13, 6);
    below.run(4, 1, 2);
    below.delta(2, 20);
    below.run(9, 3, 4);
    cases.emplace_back("deltapastend", below);
    RleCodes flood(bits, 13, 6);
    for (int i = 0; i < 12; ++i) flood.run(255, i, i + 1);
    cases.emplace_back("runspastend", flood);
    RleCodes literal(bits, 13, 6);
    literal.run(2, 1, 1);
    literal.raw(std::string("\0\xC8\1\2\3\4", 6));  // 200 literal indices, 4 bytes of them
    cases.emplace_back("literalpastdata", literal);
    return cases;
}

std::string facts(const Bmp &bmp) {
    const char *names[] = {"BI_RGB", "BI_RLE8", "BI_RLE4", "BI_BITFIELDS"};
    std::string masks;
    for (uint32_t mask : bmp.masks) masks += (masks.empty() ? " " : "-") + std::to_string(bit_count(mask));
    return std::to_string(bmp.header) + " " + std::to_string(bmp.bpp) + " " +
           (bmp.compression < 4 ? names[bmp.compression] : "?") + masks + " " + std::to_string(bmp.width) + "x" +
           std::to_string(bmp.height);
}

void add(Folder &folder, const Bmp &bmp) {
    Picture shown(bmp.width, rows_of(bmp));
    std::string pixels = pixel_rows(bmp, &shown);
    bool good = bmp.verdict == "LOAD" || bmp.verdict == "EITHER";
    folder.add(bmp.file, bmp_file(bmp, pixels), bmp.verdict, facts(bmp), good ? &shown : nullptr);
}

void add_rle(Folder &folder, Bmp bmp, const RleCodes &rle) {
    bmp.compression = bmp.bpp == 8 ? kRle8 : kRle4;
    bool good = bmp.verdict == "LOAD";
    Picture shown = rle.picture();
    folder.add(bmp.file, bmp_file(bmp, rle.codes()), bmp.verdict, facts(bmp), good ? &shown : nullptr);
}

std::function<void(std::string &)> set32(size_t at, uint32_t value) {
    return [=](std::string &bytes) { put32(bytes, at, value); };
}

std::function<void(std::string &)> set16(size_t at, uint32_t value) {
    return [=](std::string &bytes) { put16(bytes, at, value); };
}

std::function<void(std::string &)> cut_to(size_t size) {
    return [=](std::string &bytes) { bytes.resize(size); };
}

}  // namespace

void write_bmp_images(const std::string &root) {
    Folder folder(root, "bmp");
    const std::vector<uint32_t> k565 = {0xF800, 0x07E0, 0x001F};
    const std::vector<Bmp> files = {
        // Indexed pixels, every depth and table length; all four row paddings.
        {"g/pal1.bmp", "LOAD", 40, 13, 6, 1},
        {"g/pal1core.bmp", "LOAD", 12, 14, 6, 1},
        {"g/pal4.bmp", "LOAD", 40, 15, 6, 4},
        {"g/pal4short.bmp", "LOAD", 40, 13, 6, 4, kRgb, {}, 5, 5},
        {"g/pal8.bmp", "LOAD", 40, 16, 6, 8},
        {"g/pal8short.bmp", "LOAD", 40, 13, 6, 8, kRgb, {}, 20, 20},
        {"g/pal8topdown.bmp", "LOAD", 40, 13, -6, 8},
        {"g/pal8core.bmp", "LOAD", 12, 13, 6, 8},
        {"g/pal8gap.bmp", "LOAD", 40, 13, 6, 8, kRgb, {}, 0, 0, 37},
        // Every header version.
        {"g/pal8h52.bmp", "LOAD", 52, 13, 6, 8},
        {"g/pal8h56.bmp", "LOAD", 56, 13, 6, 8},
        {"g/pal8v4.bmp", "LOAD", 108, 13, 6, 8},
        {"g/pal8v5.bmp", "LOAD", 124, 13, 6, 8},
        // Direct colour: default layouts, bit fields with usual and unusual masks.
        {"g/rgb16.bmp", "LOAD", 40, 13, 6, 16},
        {"g/rgb16-555.bmp", "LOAD", 40, 14, 6, 16, kBitfields, {0x7C00, 0x03E0, 0x001F}},
        {"g/rgb16-565.bmp", "LOAD", 40, 15, 6, 16, kBitfields, k565},
        {"g/rgb16-565v5.bmp", "LOAD", 124, 13, -6, 16, kBitfields, {0xF800, 0x07E0, 0x001F, 0}},
        {"g/rgb16-231.bmp", "LOAD", 40, 13, 6, 16, kBitfields, {0x0030, 0x000E, 0x0001}},
        {"g/rgb16-4444h56.bmp", "LOAD", 56, 13, 6, 16, kBitfields, {0x0F00, 0x00F0, 0x000F, 0xF000}},
        {"g/rgb24.bmp", "LOAD", 40, 13, 6, 24},
        {"g/rgb24w14.bmp", "LOAD", 40, 14, 6, 24},
        {"g/rgb24w15.bmp", "LOAD", 40, 15, 6, 24},
        {"g/rgb24w16topdown.bmp", "LOAD", 40, 16, -6, 24},
        {"g/rgb24core.bmp", "LOAD", 12, 13, 6, 24},
        {"g/rgb32.bmp", "LOAD", 40, 13, 6, 32},
        {"g/rgb32bf.bmp", "LOAD", 40, 13, 6, 32, kBitfields, {0xFF0000, 0xFF00, 0xFF}},
        {"g/rgb32xbgr.bmp", "LOAD", 40, 13, 6, 32, kBitfields, {0xFF, 0xFF00, 0xFF0000}},
        {"g/rgb32-101010h52.bmp", "LOAD", 52, 13, 6, 32, kBitfields, {0x3FF00000, 0x000FFC00, 0x000003FF}},
        {"g/rgba32v4.bmp", "LOAD", 108, 13, 6, 32, kBitfields, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}},
        {"g/rgba32-1010102v5.bmp", "LOAD", 124, 13, 6, 32, kBitfields,
         {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}},
        // An OS/2 2.x header size, its first 40 bytes laid out as an info header.
        {"q/pal8h64.bmp", "EITHER", 64, 13, 6, 8},
        // A table longer than the bit count allows: its first 2^bpp entries count.
        {"q/pal8oversize.bmp", "EITHER", 40, 13, 6, 8, kRgb, {}, 300, 300},
        {"q/pal4oversize.bmp", "EITHER", 40, 13, 6, 4, kRgb, {}, 20, 20},
    };
    for (const Bmp &bmp : files) add(folder, bmp);

    // Malformed: good files with one thing broken.
    const Bmp rgb24{"", "", 40, 13, 6, 24};
    const Bmp pal8{"", "", 40, 13, 6, 8};
    const Bmp rgb565{"", "", 40, 13, 6, 16, kBitfields, k565};
    struct Broken {
        const char *name;
        const char *verdict;
        const Bmp &base;
        std::function<void(std::string &)> damage;
    };
    const char *kTolerate = "REJECT|TOLERATE";
    const Broken broken[] = {
        {"truncated", kTolerate, rgb24, cut_to(54 + 40 * 3)},
        {"shortheader", "REJECT", rgb24, cut_to(30)},
        {"huge", "REJECT", rgb24, [](std::string &b) { put32(b, kWidth, 3000000); put32(b, kHeight, 2000000); }},
        {"zerowidth", "REJECT", rgb24, set32(kWidth, 0)},
        {"zeroheight", "REJECT", rgb24, set32(kHeight, 0)},
        {"negativewidth", "REJECT", rgb24, set32(kWidth, uint32_t(-13))},
        {"offsetinheader", "REJECT", rgb24, set32(kOffBits, 30)},
        {"offsetpastend", "REJECT", rgb24, set32(kOffBits, 100000)},
        {"filesizewraps", kTolerate, rgb24, set32(kFileSize, 20)},
        {"filesizehuge", kTolerate, rgb24, set32(kFileSize, 0x7FFFFFF0)},
        {"bitcount7", "REJECT", pal8, set16(kBitCount, 7)},
        {"bitcount30000", "REJECT", rgb24, set16(kBitCount, 30000)},
        {"bitcount0", "REJECT", rgb24, set16(kBitCount, 0)},
        {"planes0", kTolerate, rgb24, set16(kPlanes, 0)},
        {"planes2", kTolerate, rgb24, set16(kPlanes, 2)},
        {"headersize0", "REJECT", rgb24, set32(kHeaderSize, 0)},
        {"headersize11", "REJECT", rgb24, set32(kHeaderSize, 11)},
        {"headerpastblock", "REJECT", rgb24, set32(kHeaderSize, 4000)},
        {"zeromasks", kTolerate, rgb565, [](std::string &b) { b.replace(kMasks, 12, 12, '\0'); }},
        {"bitfields24", kTolerate, rgb24, set32(kCompressionField, kBitfields)},
        {"compression99", "REJECT", rgb24, set32(kCompressionField, 99)},
        {"colourshuge", kTolerate, pal8, set32(kColoursUsed, 0x12341234)},
        {"pal8badindex", kTolerate, pal8, set32(kColoursUsed, 4)},
    };
    for (const Broken &b : broken) {
        Bmp bmp = b.base;
        bmp.file = std::string("b/") + b.name + ".bmp";
        bmp.verdict = b.verdict;
        bmp.damage = b.damage;
        add(folder, bmp);
    }

    for (int bits : {8, 4}) {
        std::string name = "pal" + std::to_string(bits) + "rle";
        Bmp rle{"g/" + name + ".bmp", "LOAD", 40, 13, 6, bits};
        add_rle(folder, rle, good_rle(bits));
        rle.file = "b/" + name + "topdown.bmp";
        rle.verdict = kTolerate;
        rle.height = -6;
        add_rle(folder, rle, good_rle(bits));
        rle.height = 6;
        for (const auto &bad : bad_rle(bits)) {
            rle.file = "b/" + name + bad.first + ".bmp";
            add_rle(folder, rle, bad.second);
        }
    }
}

}  // namespace testimages
