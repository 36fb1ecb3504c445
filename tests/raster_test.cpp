// Raster operations, brushes, stretch modes, monochrome conversions, and the geometry, return
// values and RLE sources of SetDIBitsToDevice and StretchDIBits, on 32-bit DIB sections.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gdi/gdi_internal.h"

namespace {

BITMAPINFO header32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return info;
}

// A 32-bit section selected into its own memory context; negative heights are top-down.
struct Section32 {
    Section32(int width, int height) : w(width) {
        BITMAPINFO info = header32(width, height);
        handle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void **>(&bits), nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        previous = SelectObject(dc, handle);
    }
    ~Section32() {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(handle);
    }
    uint32_t &at(int x, int memory_row) { return bits[memory_row * w + x]; }
    int w;
    HBITMAP handle = nullptr;
    uint32_t *bits = nullptr;
    HDC dc = nullptr;
    HGDIOBJ previous = nullptr;
};

// Every test ends with as many live GDI objects as it started with.
class Raster : public testing::Test {
protected:
    void SetUp() override { start_ = gdi::live_objects(); }
    void TearDown() override { EXPECT_EQ(gdi::live_objects(), start_) << "GDI objects left alive"; }

private:
    size_t start_ = 0;
};

// The truth table read one bit position at a time.
uint32_t reference_rop(uint8_t index, uint32_t p, uint32_t s, uint32_t d) {
    uint32_t out = 0;
    for (int bit = 0; bit < 32; ++bit) {
        int row = (p >> bit & 1) << 2 | (s >> bit & 1) << 1 | (d >> bit & 1);
        out |= uint32_t(index >> row & 1) << bit;
    }
    return out;
}

constexpr uint32_t kSource = 0x5AF0C30F, kDest = 0x3C66A5FF;
constexpr COLORREF kBrushColour = 0x7F112233;   // the top byte is not part of the colour
constexpr uint32_t kPattern = 0x00332211;

// Each of the 256 operations through BitBlt, StretchBlt, StretchDIBits and (when it reads no
// source) PatBlt, with a solid brush, all 32 bits of the pixel included.
TEST_F(Raster, EveryOperationCombinesPatternSourceAndDestinationBitwise) {
    Section32 dst(1, 1), src(1, 1);
    HBRUSH brush = CreateSolidBrush(kBrushColour);
    HGDIOBJ old_brush = SelectObject(dst.dc, brush);
    BITMAPINFO info = header32(1, 1);
    const uint32_t source_pixel = kSource;
    for (int index = 0; index < 256; ++index) {
        DWORD rop = DWORD(index) << 16;
        uint32_t want = reference_rop(uint8_t(index), kPattern, kSource, kDest);
        bool reads_source = ((index >> 2) ^ index) & 0x33;
        struct Call {
            const char *name;
            bool (*run)(Section32 &, Section32 &, DWORD, const BITMAPINFO &, const uint32_t *);
        };
        const Call calls[] = {
            {"BitBlt", [](Section32 &d, Section32 &s, DWORD r, const BITMAPINFO &, const uint32_t *) {
                 return BitBlt(d.dc, 0, 0, 1, 1, s.dc, 0, 0, r) != FALSE;
             }},
            {"StretchBlt", [](Section32 &d, Section32 &s, DWORD r, const BITMAPINFO &, const uint32_t *) {
                 return StretchBlt(d.dc, 0, 0, 1, 1, s.dc, 0, 0, 1, 1, r) != FALSE;
             }},
            {"StretchDIBits", [](Section32 &d, Section32 &, DWORD r, const BITMAPINFO &i, const uint32_t *p) {
                 return StretchDIBits(d.dc, 0, 0, 1, 1, 0, 0, 1, 1, p, &i, DIB_RGB_COLORS, r) == 1;
             }},
            {"PatBlt", [](Section32 &d, Section32 &, DWORD r, const BITMAPINFO &, const uint32_t *) {
                 return PatBlt(d.dc, 0, 0, 1, 1, r) != FALSE;
             }},
        };
        for (const Call &call : calls) {
            bool patblt = std::strcmp(call.name, "PatBlt") == 0;
            src.at(0, 0) = kSource;
            dst.at(0, 0) = kDest;
            bool done = call.run(dst, src, rop, info, &source_pixel);
            if (patblt && reads_source) {
                EXPECT_FALSE(done) << "PatBlt takes no operation that reads a source: " << index;
                continue;
            }
            EXPECT_TRUE(done) << call.name << " " << index;
            EXPECT_EQ(dst.at(0, 0), want) << call.name << " operation " << std::hex << index;
        }
    }
    SelectObject(dst.dc, old_brush);
    DeleteObject(brush);
}

TEST_F(Raster, OperationsWithoutASourceNeedNoSourceContext) {
    Section32 dst(2, 1);
    dst.at(0, 0) = dst.at(1, 0) = kDest;
    EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 1, 1, nullptr, 0, 0, DSTINVERT));
    EXPECT_FALSE(BitBlt(dst.dc, 1, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_TRUE(PatBlt(dst.dc, 2, 0, -1, 1, PATCOPY)) << "a negative width extends left";
    EXPECT_EQ(dst.at(0, 0), ~kDest);
    EXPECT_EQ(dst.at(1, 0), 0x00FFFFFFu) << "a fresh context's brush is white";
}

// A 2 x 2 pattern tiles the destination from the brush origin; a 32-bit pattern keeps its top
// byte, a 24-bit one has 0 there.
TEST_F(Raster, PatternBrushesTileFromTheBrushOrigin) {
    struct Case {
        int bpp;
        POINT origin;
        uint32_t row0[4], row1[4];
    };
    // The pattern's pixels (top row first): a b / c d.
    const uint32_t a = 0x11223344, b = 0x55667788, c = 0x99AABBCC, d = 0xDDEEFF00;
    auto rgb = [](uint32_t v) { return v & 0xFFFFFF; };
    const Case cases[] = {
        {32, {0, 0}, {a, b, a, b}, {c, d, c, d}},
        {32, {1, 0}, {b, a, b, a}, {d, c, d, c}},
        {32, {1, 1}, {d, c, d, c}, {b, a, b, a}},
        {24, {0, 0}, {rgb(a), rgb(b), rgb(a), rgb(b)}, {rgb(c), rgb(d), rgb(c), rgb(d)}},
    };
    for (const Case &test : cases) {
        std::vector<uint8_t> packed(sizeof(BITMAPINFOHEADER) + 16);
        BITMAPINFO info = header32(2, -2);
        info.bmiHeader.biBitCount = WORD(test.bpp);
        std::memcpy(packed.data(), &info, sizeof info.bmiHeader);
        uint8_t *pixels = packed.data() + sizeof info.bmiHeader;
        const uint32_t picture[4] = {a, b, c, d};
        constexpr int kStride = 8;  // two pixels of 24 or 32 bits
        for (int i = 0; i < 4; ++i)
            std::memcpy(pixels + (i / 2) * kStride + (i % 2) * (test.bpp / 8), &picture[i], size_t(test.bpp / 8));
        HBRUSH brush = CreateDIBPatternBrushPt(packed.data(), DIB_RGB_COLORS);
        ASSERT_TRUE(brush);
        Section32 dst(4, -2);
        HGDIOBJ old = SelectObject(dst.dc, brush);
        SetBrushOrgEx(dst.dc, test.origin.x, test.origin.y, nullptr);
        EXPECT_TRUE(PatBlt(dst.dc, 0, 0, 4, 2, PATCOPY));
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(dst.at(x, 0), test.row0[x]) << test.bpp << " bpp, origin " << test.origin.x << "," << test.origin.y;
            EXPECT_EQ(dst.at(x, 1), test.row1[x]) << test.bpp << " bpp, origin " << test.origin.x << "," << test.origin.y;
        }
        SelectObject(dst.dc, old);
        DeleteObject(brush);
    }
}

// Shrinking four pixels of one row to fewer: BLACKONWHITE ANDs the pixels that fall together,
// WHITEONBLACK ORs them, HALFTONE averages them, COLORONCOLOR keeps the one under the centre.
TEST_F(Raster, StretchModesMergeWhatShrinkingDrops) {
    const uint32_t row[4] = {0x0F0F0F0F, 0x33333333, 0x55555555, 0xFF00FF00};
    struct Case {
        int mode, width;
        std::vector<uint32_t> want;
        std::vector<uint32_t> blitted = {};  // StretchBlt's answer where it differs
    };
    // StretchBlt shrinking to one pixel merges one source pixel fewer.
    const Case cases[] = {
        {BLACKONWHITE, 2, {0x03030303, 0x55005500}},
        {WHITEONBLACK, 2, {0x3F3F3F3F, 0xFF55FF55}},
        {HALFTONE, 2, {0x21212121, 0xAA2BAA2B}},
        {COLORONCOLOR, 2, {0x33333333, 0xFF00FF00}},
        {BLACKONWHITE, 1, {0x01000100}, {0x01010101}},
        {WHITEONBLACK, 1, {0xFF7FFF7F}, {0x7F7F7F7F}},
        {BLACKONWHITE, 8, {row[0], row[0], row[1], row[1], row[2], row[2], row[3], row[3]}},
    };
    BITMAPINFO info = header32(4, 1);
    for (const Case &test : cases) {
        Section32 dst(8, 1);
        std::fill(dst.bits, dst.bits + 8, 0xAAAAAAAAu);
        SetStretchBltMode(dst.dc, test.mode);
        EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, test.width, 1, 0, 0, 4, 1, row, &info, DIB_RGB_COLORS, SRCCOPY), 1);
        Section32 src(4, 1);
        std::memcpy(src.bits, row, sizeof row);
        Section32 blitted(8, 1);
        SetStretchBltMode(blitted.dc, test.mode);
        EXPECT_TRUE(StretchBlt(blitted.dc, 0, 0, test.width, 1, src.dc, 0, 0, 4, 1, SRCCOPY));
        for (size_t x = 0; x < test.want.size(); ++x) {
            EXPECT_EQ(dst.at(int(x), 0), test.want[x]) << "StretchDIBits, mode " << test.mode << " to " << test.width;
            const std::vector<uint32_t> &blit_want = test.blitted.empty() ? test.want : test.blitted;
            EXPECT_EQ(blitted.at(int(x), 0), blit_want[x]) << "StretchBlt, mode " << test.mode << " to " << test.width;
        }
    }
}

// A monochrome bitmap (the 1 x 1 one a fresh memory context holds) shows its 0 bits in the
// destination's text colour and its 1 bits in its background colour; a colour source becomes 1
// where it has the source context's background colour.
TEST_F(Raster, MonochromeBitmapsTakeTheContextColours) {
    HDC mono = CreateCompatibleDC(nullptr);
    Section32 colour(1, 1);
    EXPECT_EQ(SetTextColor(colour.dc, RGB(1, 2, 3)), RGB(0, 0, 0));
    EXPECT_EQ(SetBkColor(colour.dc, RGB(4, 5, 6)), RGB(255, 255, 255));
    EXPECT_EQ(GetTextColor(colour.dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkColor(colour.dc), RGB(4, 5, 6));
    EXPECT_TRUE(BitBlt(colour.dc, 0, 0, 1, 1, mono, 0, 0, SRCCOPY));
    EXPECT_EQ(colour.at(0, 0), 0x00010203u) << "0 bit: text colour";

    colour.at(0, 0) = 0x00040506;
    EXPECT_TRUE(BitBlt(mono, 0, 0, 1, 1, colour.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(mono, 0, 0), RGB(255, 255, 255)) << "the background colour becomes 1";
    EXPECT_TRUE(BitBlt(colour.dc, 0, 0, 1, 1, mono, 0, 0, SRCCOPY));
    EXPECT_EQ(colour.at(0, 0), 0x00040506u) << "1 bit: background colour";
    colour.at(0, 0) = 0x00FFFFFF;
    EXPECT_TRUE(BitBlt(mono, 0, 0, 1, 1, colour.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(mono, 0, 0), RGB(0, 0, 0)) << "any other colour becomes 0";
    EXPECT_EQ(SetTextColor(nullptr, 0), CLR_INVALID);
    DeleteDC(mono);
}

// An 8 x 8 band of scan lines: buffer row k holds value k in every pixel.
std::vector<uint32_t> band(int rows) {
    std::vector<uint32_t> pixels;
    for (int k = 0; k < rows; ++k) pixels.insert(pixels.end(), 8, uint32_t(k));
    return pixels;
}

// SetDIBitsToDevice from an 8-wide band into an 8 x 8 bottom-up section at (0, 0): scan r of
// the DIB (from its bottom) lands on device row ySrc + height - 1 - r. Rows hold the buffer
// row drawn there, -1 where nothing was.
TEST_F(Raster, SetDIBitsToDeviceTakesScanLinesFromTheirBand) {
    struct Case {
        int dib_height, y_src, height;
        UINT start, lines;
        int returned;
        int rows[8];  // device rows 0 (top) .. 7
    };
    const int _ = -1;
    const Case cases[] = {
        {8, 0, 8, 0, 8, 8, {7, 6, 5, 4, 3, 2, 1, 0}},
        {8, 0, 8, 2, 3, 3, {_, _, _, 2, 1, 0, _, _}},
        {8, 0, 4, 0, 8, 4, {3, 2, 1, 0, _, _, _, _}},   // only up to the top of the rectangle
        {16, 0, 8, 4, 12, 4, {3, 2, 1, 0, _, _, _, _}},
        {8, 0, 8, 9, 2, 0, {_, _, _, _, _, _, _, _}},
        {-8, 0, 8, 0, 8, 8, {0, 1, 2, 3, 4, 5, 6, 7}},   // top-down: buffer row 0 is the top scan
        {-8, 0, 8, 1, 3, 3, {_, _, _, _, 0, 1, 2, _}},
        {-4, 0, 8, 0, 4, 4, {_, _, _, _, 0, 1, 2, 3}},
    };
    for (const Case &test : cases) {
        Section32 dst(8, 8);
        std::fill(dst.bits, dst.bits + 64, 0xAAAAAAAAu);
        BITMAPINFO info = header32(8, test.dib_height);
        std::vector<uint32_t> pixels = band(int(test.lines));
        EXPECT_EQ(SetDIBitsToDevice(dst.dc, 0, 0, 8, DWORD(test.height), 0, test.y_src, test.start, test.lines,
                                    pixels.data(), &info, DIB_RGB_COLORS),
                  test.returned)
            << "height " << test.dib_height << ", start " << test.start << ", lines " << test.lines;
        for (int y = 0; y < 8; ++y) {
            uint32_t want = test.rows[y] < 0 ? 0xAAAAAAAAu : uint32_t(test.rows[y]);
            EXPECT_EQ(dst.at(0, 7 - y), want) << "device row " << y << ", height " << test.dib_height << ", start "
                                               << test.start << ", lines " << test.lines;
        }
    }
}

// RLE data draws only the pixels it codes; start and lines do not matter but for lines 0, and
// the DIB's height is returned.
TEST_F(Raster, RleSourcesDrawTheirCodedPixels) {
    // 4 x 3, 8 bits: bottom row 1 1 2 2 (two runs), then a literal 3 4 5 at x 0 of the next
    // row, a move of (1, 1) to x 4 of the top row past its end, end of picture.
    const uint8_t rle8[] = {2, 1, 2, 2, 0, 0, 0, 3, 3, 4, 5, 0, 0, 2, 1, 1, 0, 1};
    // The same picture in 4 bits: runs alternate their two indices, literals pack two a byte.
    const uint8_t rle4[] = {4, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1};
    struct Case {
        const uint8_t *data;
        size_t bytes;
        int bpp;
        DWORD compression;
        UINT lines;
        int returned;
        uint32_t bottom[4], middle[4];
    };
    const uint32_t n = 0xAAAAAAAA;
    const Case cases[] = {
        {rle8, sizeof rle8, 8, BI_RLE8, 3, 3, {1, 1, 2, 2}, {3, 4, 5, n}},
        {rle8, sizeof rle8, 8, BI_RLE8, 1, 3, {1, 1, 2, 2}, {3, 4, 5, n}},
        {rle8, 4, 8, BI_RLE8, 3, 3, {1, 1, 2, 2}, {n, n, n, n}},  // decodes no further than biSizeImage
        {rle8, sizeof rle8, 8, BI_RLE8, 0, 0, {n, n, n, n}, {n, n, n, n}},
        {rle4, sizeof rle4, 4, BI_RLE4, 3, 3, {1, 2, 1, 2}, {3, 4, 5, n}},
    };
    for (const Case &test : cases) {
        std::vector<uint8_t> block(sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD));
        BITMAPINFO info = header32(4, 3);
        info.bmiHeader.biBitCount = WORD(test.bpp);
        info.bmiHeader.biCompression = test.compression;
        info.bmiHeader.biSizeImage = DWORD(test.bytes);
        info.bmiHeader.biClrUsed = 16;
        std::memcpy(block.data(), &info, sizeof info.bmiHeader);
        for (int i = 0; i < 16; ++i) block[sizeof info.bmiHeader + 4 * size_t(i)] = uint8_t(i);  // blue = index
        auto *described = reinterpret_cast<BITMAPINFO *>(block.data());
        Section32 dst(4, -3);
        std::fill(dst.bits, dst.bits + 12, n);
        EXPECT_EQ(SetDIBitsToDevice(dst.dc, 0, 0, 4, 3, 0, 0, 0, test.lines, test.data, described, DIB_RGB_COLORS),
                  test.returned);
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(dst.at(x, 2), test.bottom[x]) << test.bpp << " bits, " << test.bytes << " bytes, x " << x;
            EXPECT_EQ(dst.at(x, 1), test.middle[x]) << test.bpp << " bits, " << test.bytes << " bytes, x " << x;
            EXPECT_EQ(dst.at(x, 0), n) << "the top row is not coded";
        }
        described->bmiHeader.biHeight = -3;
        SetLastError(0);
        EXPECT_EQ(SetDIBitsToDevice(dst.dc, 0, 0, 4, 3, 0, 0, 0, 3, test.data, described, DIB_RGB_COLORS), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER)) << "top-down RLE";
        described->bmiHeader.biHeight = 3;
        described->bmiHeader.biSizeImage = 0;
        EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 4, 3, 0, 0, 4, 3, test.data, described, DIB_RGB_COLORS, SRCCOPY), 0)
            << "RLE without its size";
    }
}

// A top-down DIB drawn at its own size counts ySrc from its top; stretched, from its bottom. A
// source rectangle partly off the picture loses its outside part before mirroring.
TEST_F(Raster, StretchDIBitsRowsOfTopDownSourcesAndPartlyOutsideMirrors) {
    // 2 x 2 top-down: 1 2 / 3 4.
    const uint32_t picture[4] = {1, 2, 3, 4};
    BITMAPINFO info = header32(2, -2);
    struct Case {
        int xd, yd, wd, hd, xs, ys, ws, hs, returned;
        uint32_t want[4];
    };
    const Case cases[] = {
        {0, 0, 1, 1, 0, 0, 1, 1, 2, {1, 0, 0, 0}},
        {0, 0, 2, 2, 0, 0, 1, 1, 2, {3, 3, 3, 3}},
        {1, 1, -2, -2, 0, 0, 2, 2, 2, {4, 3, 2, 1}},
        {1, 1, -2, -2, 1, 1, 2, 2, 2, {0, 0, 2, 0}},
        {0, 0, 2, 2, 1, 1, 2, -2, 0, {0, 0, 0, 0}},  // a source height below ySrc is refused
        {0, 0, 2, 2, 1, 0, -2, 2, 2, {2, 1, 4, 3}},  // a negative source width mirrors
    };
    for (const Case &test : cases) {
        Section32 dst(2, -2);
        SetStretchBltMode(dst.dc, COLORONCOLOR);
        EXPECT_EQ(StretchDIBits(dst.dc, test.xd, test.yd, test.wd, test.hd, test.xs, test.ys, test.ws, test.hs, picture,
                                &info, DIB_RGB_COLORS, SRCCOPY),
                  test.returned);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(dst.bits[i], test.want[i]) << test.xd << "," << test.yd << "," << test.wd << "," << test.hd
                                                 << " from " << test.xs << "," << test.ys << "," << test.ws << ","
                                                 << test.hs << ": pixel " << i;
    }
}

}  // namespace
