// The GDI engine: format conversions against a reference, the transfer rules the program relies
// on, device contexts and bitmaps, DIB sections in memory and over files, and the generated BMP
// files.
#include <windows.h>
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include "core/faults.h"
#include "engine/blit_engine.h"
#include "engine/preconditions.h"
#include "gdi/gdi_internal.h"
#include "support/bench_run.h"
#include "support/bmp_reference.h"
#include "support/image_index.h"
#include "support/png_image.h"
#include "support/reference_pixels.h"

namespace {

using benchtest::DibFormat;
using benchtest::IndexEntry;
using benchtest::LoadedBmp;
using benchtest::RgbaImage;
using benchtest::image_path;
using benchtest::read_image_index;

// Every test ends with as many live GDI objects as it started with.
class Gdi : public testing::Test {
protected:
    void SetUp() override { start_ = gdi::live_objects(); }
    void TearDown() override { EXPECT_EQ(gdi::live_objects(), start_) << "GDI objects left alive"; }

private:
    size_t start_ = 0;
};

struct DibSection {
    explicit DibSection(const BITMAPINFO *info, HANDLE mapping = nullptr, DWORD offset = 0) {
        handle = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, reinterpret_cast<void **>(&bits), mapping, offset);
    }
    explicit DibSection(const DibFormat &format) : DibSection(format.info()) {}
    ~DibSection() {
        if (handle) DeleteObject(handle);
    }
    HBITMAP handle = nullptr;
    uint8_t *bits = nullptr;
};

// A memory context with a bitmap selected, put back as the program does.
struct MemoryDc {
    explicit MemoryDc(HBITMAP bitmap) : dc(CreateCompatibleDC(nullptr)), previous(SelectObject(dc, bitmap)) {}
    ~MemoryDc() {
        SelectObject(dc, previous);
        DeleteDC(dc);
    }
    operator HDC() const { return dc; }
    HDC dc;
    HGDIOBJ previous;
};

void fill_random(uint8_t *bytes, size_t count, std::mt19937 &random) {
    for (size_t i = 0; i < count; ++i) bytes[i] = uint8_t(random());
}

// The formats a BMP file can hand to a DIB section, at one size and orientation.
std::vector<DibFormat> all_formats(int width, int height, bool top_down) {
    return {
        DibFormat(1, width, height, top_down),
        DibFormat(4, width, height, top_down),
        DibFormat(4, width, height, top_down, 12),
        DibFormat(8, width, height, top_down),
        DibFormat(8, width, height, top_down, 20),
        DibFormat(16, width, height, top_down),
        DibFormat(16, width, height, top_down, 0, {0xF800, 0x07E0, 0x001F}),
        DibFormat(24, width, height, top_down),
        DibFormat(32, width, height, top_down),
        DibFormat(32, width, height, top_down, 0, {0x3FF00000, 0x000FFC00, 0x000003FF}),
        DibFormat(32, width, height, top_down, 0, {0x00FF0000, 0x0000FF00, 0x000000FF}),
    };
}

// Where two pixel buffers first differ, or "" when they are equal.
std::string first_difference(const uint8_t *actual, const std::vector<uint8_t> &expected) {
    for (size_t i = 0; i < expected.size(); ++i)
        if (actual[i] != expected[i])
            return "byte " + std::to_string(i) + ": " + std::to_string(actual[i]) + " instead of " +
                   std::to_string(expected[i]);
    return "";
}

// Blits w pixels of every row from src to dst, straight (BitBlt) and mirrored (StretchDIBits),
// and compares the whole destination memory, padding included, with the reference.
void check_conversion(const DibFormat &src_format, const DibFormat &dst_format, int w, std::mt19937 &random) {
    DibSection src(src_format), dst(dst_format);
    ASSERT_TRUE(src.handle && dst.handle);
    fill_random(src.bits, src_format.image_bytes(), random);
    fill_random(dst.bits, dst_format.image_bytes(), random);
    const std::vector<uint8_t> original(dst.bits, dst.bits + dst_format.image_bytes());
    int sx = w % 4, dx = (w * 7) % 6, h = src_format.height();
    MemoryDc src_dc(src.handle), dst_dc(dst.handle);

    std::vector<uint8_t> expected = original;
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < w; ++i) dst_format.write(expected.data(), dx + i, y, src_format.read(src.bits, sx + i, y));
    ASSERT_TRUE(BitBlt(dst_dc, dx, 0, w, h, src_dc, sx, 0, SRCCOPY));
    std::string difference = first_difference(dst.bits, expected);
    EXPECT_EQ(difference, "") << "BitBlt " << src_format.name() << " -> " << dst_format.name() << ", width " << w;

    std::memcpy(dst.bits, original.data(), original.size());
    expected = original;
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < w; ++i)
            dst_format.write(expected.data(), dx + i, y, src_format.read(src.bits, sx + w - 1 - i, y));
    StretchDIBits(dst_dc, dx, 0, w, h, sx + w - 1, 0, -w, h, src.bits, src_format.info(), DIB_RGB_COLORS, SRCCOPY);
    difference = first_difference(dst.bits, expected);
    EXPECT_EQ(difference, "") << "mirrored " << src_format.name() << " -> " << dst_format.name() << ", width " << w;
}

TEST_F(Gdi, EveryFormatPairConvertsLikeTheReferenceAtEveryWidth) {
    std::mt19937 random(7);
    for (int w = 1; w <= 33; ++w)
        for (bool src_top_down : {false, true})
            for (bool dst_top_down : {false, true})
                for (const DibFormat &src : all_formats(w + 3, 3, src_top_down))
                    for (const DibFormat &dst : all_formats(w + 5, 3, dst_top_down)) {
                        check_conversion(src, dst, w, random);
                        if (HasFailure()) return;
                    }
}

TEST_F(Gdi, GetPixelReadsEveryFormatLikeTheReference) {
    std::mt19937 random(11);
    for (bool top_down : {false, true})
        for (const DibFormat &format : all_formats(9, 2, top_down)) {
            DibSection section(format);
            fill_random(section.bits, format.image_bytes(), random);
            MemoryDc dc(section.handle);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 9; ++x) {
                    uint32_t want = format.read(section.bits, x, y);
                    EXPECT_EQ(GetPixel(dc, x, y), RGB(want >> 16 & 0xFF, want >> 8 & 0xFF, want & 0xFF))
                        << format.name() << " " << x << "," << y;
                }
        }
}

// A 24-bit DIB whose pixel at picture column x, row y has red x + 1 and green y + 1.
struct LabelledDib {
    LabelledDib(int width, int height, bool top_down) : format(24, width, height, top_down), bits(format.image_bytes()) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) format.write(bits.data(), x, y, label(x, y));
    }
    static uint32_t label(int x, int y) { return 0xFF000000u | uint32_t(x + 1) << 16 | uint32_t(y + 1) << 8 | 0x77; }
    static COLORREF colour(int x, int y) { return RGB(x + 1, y + 1, 0x77); }
    DibFormat format;
    std::vector<uint8_t> bits;
};

// A 32-bit target filled with a marker colour, to see which pixels a transfer touched.
class Target : public Gdi {
protected:
    static constexpr COLORREF kMarker = RGB(0x12, 0x34, 0x56);
    void SetUp() override {
        Gdi::SetUp();
        section_ = std::make_unique<DibSection>(format_.info());
        dc_ = std::make_unique<MemoryDc>(section_->handle);
        for (int y = 0; y < format_.height(); ++y)
            for (int x = 0; x < format_.width(); ++x) SetPixel(*dc_, x, y, kMarker);
    }
    void TearDown() override {
        dc_.reset();
        section_.reset();
        Gdi::TearDown();
    }
    // The labels (or kMarker) along row 0 of the target, for comparison with expected lists.
    std::vector<COLORREF> row(int y = 0) const {
        std::vector<COLORREF> colours;
        for (int x = 0; x < format_.width(); ++x) colours.push_back(GetPixel(*dc_, x, y));
        return colours;
    }
    int stretch(const LabelledDib &dib, int xd, int yd, int wd, int hd, int xs, int ys, int ws, int hs) {
        return StretchDIBits(*dc_, xd, yd, wd, hd, xs, ys, ws, hs, dib.bits.data(), dib.format.info(), DIB_RGB_COLORS,
                             SRCCOPY);
    }
    HDC dc() const { return *dc_; }

    DibFormat format_{32, 8, 4, true};
    std::unique_ptr<DibSection> section_;
    std::unique_ptr<MemoryDc> dc_;
};

using L = LabelledDib;
constexpr COLORREF M = RGB(0x12, 0x34, 0x56);

TEST_F(Target, NegativeDestinationWidthMirrorsIntoTheColumnsBeforeX) {
    L dib(4, 1, true);
    EXPECT_EQ(stretch(dib, 5, 0, -4, 1, 0, 0, 4, 1), 1);
    EXPECT_EQ(row(), (std::vector<COLORREF>{M, M, L::colour(3, 0), L::colour(2, 0), L::colour(1, 0), L::colour(0, 0), M, M}));
}

TEST_F(Target, NegativeSourceWidthMirrorsTheColumnsBeforeXSrc) {
    L dib(4, 1, true);
    stretch(dib, 0, 0, 4, 1, 3, 0, -4, 1);
    EXPECT_EQ(row(), (std::vector<COLORREF>{L::colour(3, 0), L::colour(2, 0), L::colour(1, 0), L::colour(0, 0), M, M, M, M}));
}

TEST_F(Target, NegativeSizesOnBothSidesCancelOut) {
    L dib(4, 1, true);
    stretch(dib, 5, 0, -4, 1, 3, 0, -4, 1);
    EXPECT_EQ(row(), (std::vector<COLORREF>{M, M, L::colour(0, 0), L::colour(1, 0), L::colour(2, 0), L::colour(3, 0), M, M}));
}

TEST_F(Target, NegativeHeightsMirrorRows) {
    L dib(1, 3, true);
    stretch(dib, 0, 2, 1, -3, 0, 0, 1, 3);
    EXPECT_EQ(GetPixel(dc(), 0, 0), L::colour(0, 2));
    EXPECT_EQ(GetPixel(dc(), 0, 2), L::colour(0, 0));
}

TEST_F(Target, ZeroDestinationSizeDrawsNothingButReportsTheLines) {
    L dib(4, 3, false);
    EXPECT_EQ(stretch(dib, 0, 0, 0, 3, 0, 0, 4, 3), 3);
    EXPECT_EQ(stretch(dib, 0, 0, 4, 0, 0, 0, 4, 3), 3);
    EXPECT_EQ(row(), std::vector<COLORREF>(8, M));
}

TEST_F(Target, ZeroSourceSizeDrawsNothingAndFails) {
    L dib(4, 3, false);
    EXPECT_EQ(stretch(dib, 0, 0, 4, 3, 0, 0, 0, 3), 0);
    EXPECT_EQ(stretch(dib, 0, 0, 4, 3, 0, 0, 4, 0), 0);
    EXPECT_EQ(row(), std::vector<COLORREF>(8, M));
}

TEST_F(Target, ShrinkingKeepsTheCentresAndGrowingDuplicates) {
    L dib(4, 1, true);
    SetStretchBltMode(dc(), COLORONCOLOR);
    stretch(dib, 0, 0, 2, 1, 0, 0, 4, 1);
    stretch(dib, 2, 0, 6, 1, 0, 0, 3, 1);
    EXPECT_EQ(row(), (std::vector<COLORREF>{L::colour(1, 0), L::colour(3, 0), L::colour(0, 0), L::colour(0, 0),
                                            L::colour(1, 0), L::colour(1, 0), L::colour(2, 0), L::colour(2, 0)}));
}

TEST_F(Target, BottomUpSourceRowsCountFromTheBottom) {
    L bottom_up(4, 3, false), top_down(4, 3, true);
    stretch(bottom_up, 0, 0, 4, 1, 0, 0, 4, 1);
    stretch(top_down, 4, 0, 4, 1, 0, 0, 4, 1);
    EXPECT_EQ(GetPixel(dc(), 0, 0), L::colour(0, 2)) << "ySrc 0 of a bottom-up DIB is its bottom row";
    EXPECT_EQ(GetPixel(dc(), 4, 0), L::colour(0, 0)) << "ySrc 0 of a top-down DIB is its top row";
    stretch(bottom_up, 0, 1, 4, 2, 0, 1, 4, 2);
    EXPECT_EQ(GetPixel(dc(), 0, 1), L::colour(0, 0)) << "the rectangle's top is the image's top";
    EXPECT_EQ(GetPixel(dc(), 0, 2), L::colour(0, 1));
}

TEST_F(Target, SourcePartlyOutsideTheImageDrawsOnlyWhatExistsAtItsOwnScale) {
    L dib(4, 1, true);
    stretch(dib, 0, 0, 8, 1, 0, 0, 8, 1);
    EXPECT_EQ(row(), (std::vector<COLORREF>{L::colour(0, 0), L::colour(1, 0), L::colour(2, 0), L::colour(3, 0), M, M, M, M}));
}

TEST_F(Target, SourceStartingBeforeTheImageLeavesTheLeadingPixels) {
    L dib(4, 1, true);
    stretch(dib, 0, 0, 4, 1, -2, 0, 4, 1);
    EXPECT_EQ(row(), (std::vector<COLORREF>{M, M, L::colour(0, 0), L::colour(1, 0), M, M, M, M}));
}

TEST_F(Target, StretchedSourcePartlyOutsideIsNotStretchedToFill) {
    L dib(2, 1, true);
    stretch(dib, 0, 0, 8, 1, 0, 0, 4, 1);  // twice as wide, but only two of four source columns exist
    EXPECT_EQ(row(), (std::vector<COLORREF>{L::colour(0, 0), L::colour(0, 0), L::colour(1, 0), L::colour(1, 0), M, M, M, M}));
}

TEST_F(Target, DestinationOutsideTheSurfaceIsClipped) {
    L dib(4, 4, true);
    EXPECT_EQ(stretch(dib, 6, -2, 4, 4, 0, 0, 4, 4), 4);
    EXPECT_EQ(GetPixel(dc(), 6, 0), L::colour(0, 2));
    EXPECT_EQ(GetPixel(dc(), 7, 1), L::colour(1, 3));
    EXPECT_EQ(stretch(dib, INT_MAX - 1, INT_MIN + 1, INT_MAX, INT_MAX, 0, 0, 4, 4), 4);
}

TEST_F(Target, SetDIBitsToDeviceDrawsUnscaledFromTheLowerLeftOrigin) {
    L dib(4, 3, false);
    EXPECT_EQ(SetDIBitsToDevice(dc(), 0, 0, 4, 1, 0, 0, 0, 3, dib.bits.data(), dib.format.info(), DIB_RGB_COLORS), 1)
        << "the scan lines up to the top of the source rectangle";
    EXPECT_EQ(GetPixel(dc(), 0, 0), L::colour(0, 2));
    EXPECT_EQ(SetDIBitsToDevice(dc(), 4, 0, 4, 3, 0, 0, 0, 3, dib.bits.data(), dib.format.info(), DIB_RGB_COLORS), 3);
    EXPECT_EQ(GetPixel(dc(), 4, 0), L::colour(0, 0));
    EXPECT_EQ(GetPixel(dc(), 7, 2), L::colour(3, 2));
}

TEST_F(Target, SetDIBitsToDeviceTakesABandOfScanLines) {
    L dib(4, 3, false);
    const uint8_t *second_scan = dib.bits.data() + dib.format.stride();  // scan line 1: the middle row
    EXPECT_EQ(SetDIBitsToDevice(dc(), 0, 0, 4, 3, 0, 0, 1, 1, second_scan, dib.format.info(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(GetPixel(dc(), 0, 1), L::colour(0, 1));
    EXPECT_EQ(GetPixel(dc(), 0, 0), M);
    EXPECT_EQ(GetPixel(dc(), 0, 2), M);
}

TEST_F(Target, TransfersWithoutPixelsDrawNothing) {
    L dib(4, 3, false);
    EXPECT_EQ(SetDIBitsToDevice(dc(), 0, 0, 4, 3, 0, 0, 0, 3, nullptr, dib.format.info(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(StretchDIBits(dc(), 0, 0, 4, 3, 0, 0, 4, 3, nullptr, dib.format.info(), DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(row(), std::vector<COLORREF>(8, M));
}

TEST_F(Target, StretchModeIsKeptPerContext) {
    EXPECT_EQ(SetStretchBltMode(dc(), COLORONCOLOR), BLACKONWHITE);
    EXPECT_EQ(GetStretchBltMode(dc()), COLORONCOLOR);
    EXPECT_EQ(SetStretchBltMode(dc(), 0), 0);
    EXPECT_EQ(SetStretchBltMode(nullptr, COLORONCOLOR), 0);
}

TEST_F(Gdi, AFreshMemoryContextHoldsOneBlackPixel) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(dc);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 1, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc, 0, -1), CLR_INVALID);
    BITMAP record;
    EXPECT_EQ(GetObjectA(SelectObject(dc, SelectObject(dc, CreateCompatibleBitmap(dc, 0, 0))), sizeof record, &record),
              int(sizeof record));
    EXPECT_EQ(record.bmWidth, 1);
    EXPECT_EQ(record.bmBitsPixel, 1);
    EXPECT_EQ(GetObjectType(dc), DWORD(OBJ_MEMDC));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID) << "a deleted context";
}

TEST_F(Gdi, ABitmapLivesInOneContextAtATimeAndIsDeletedOnlyWhenFree) {
    DibFormat format(24, 4, 4, true);
    HBITMAP bitmap = CreateDIBSection(nullptr, format.info(), DIB_RGB_COLORS, nullptr, nullptr, 0);
    HDC first = CreateCompatibleDC(nullptr), second = CreateCompatibleDC(first);
    HGDIOBJ stock = SelectObject(first, bitmap);
    EXPECT_TRUE(stock);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr) << "already selected elsewhere";
    EXPECT_EQ(SelectObject(first, bitmap), bitmap) << "selecting it again returns it";
    EXPECT_FALSE(DeleteObject(bitmap)) << "still selected";
    EXPECT_EQ(SelectObject(first, stock), bitmap);
    EXPECT_EQ(SelectObject(second, stock), stock) << "the stock bitmap goes anywhere";
    EXPECT_EQ(SelectObject(second, bitmap), stock);
    EXPECT_TRUE(DeleteDC(second)) << "deleting the context lets the bitmap go";
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap)) << "already deleted";
    EXPECT_EQ(SelectObject(first, nullptr), nullptr);
    EXPECT_EQ(SelectObject(first, bitmap), nullptr) << "a stale handle";
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_FALSE(DeleteObject(first)) << "a context is not deleted as an object";
}

TEST_F(Gdi, GetObjectDescribesBitmapsInTheProgramsRecordSize) {
    DibFormat format(24, 5, 3, false);
    DibSection section(format);
    BITMAP record{};
    EXPECT_EQ(GetObjectA(nullptr, sizeof record, &record), 0);
    EXPECT_EQ(GetObjectA(section.handle, 24, &record), 24);
    EXPECT_EQ(record.bmWidth, 5);
    EXPECT_EQ(record.bmHeight, 3);
    EXPECT_EQ(record.bmWidthBytes, 16);
    EXPECT_EQ(record.bmBitsPixel, 24);
    EXPECT_EQ(GetObjectA(section.handle, sizeof record, &record), int(sizeof record));
    EXPECT_EQ(record.bmBits, section.bits);
    EXPECT_EQ(GetObjectA(section.handle, 0, nullptr), int(sizeof record));
    EXPECT_EQ(GetObjectType(section.handle), DWORD(OBJ_BITMAP));
}

// A BITMAPINFO with room for masks and a colour table, edited field by field.
struct HeaderBlock {
    HeaderBlock() {
        std::memset(bytes, 0, sizeof bytes);
        BITMAPINFOHEADER &h = header();
        h.biSize = 40;
        h.biWidth = 4;
        h.biHeight = 4;
        h.biPlanes = 1;
        h.biBitCount = 24;
    }
    BITMAPINFOHEADER &header() { return *reinterpret_cast<BITMAPINFOHEADER *>(bytes); }
    BITMAPINFO *info() { return reinterpret_cast<BITMAPINFO *>(bytes); }
    void masks(uint32_t r, uint32_t g, uint32_t b, size_t at = 40) {
        std::memcpy(bytes + at, &r, 4);
        std::memcpy(bytes + at + 4, &g, 4);
        std::memcpy(bytes + at + 8, &b, 4);
    }
    alignas(4) uint8_t bytes[124 + 256 * 4];
};

TEST_F(Gdi, CreateDIBSectionRejectsWhatThePlatformRejects) {
    const std::vector<std::pair<std::string, std::function<void(HeaderBlock &)>>> rejected = {
        {"RLE8", [](HeaderBlock &b) { b.header().biBitCount = 8, b.header().biCompression = BI_RLE8; }},
        {"RLE4", [](HeaderBlock &b) { b.header().biBitCount = 4, b.header().biCompression = BI_RLE4; }},
        {"JPEG", [](HeaderBlock &b) { b.header().biCompression = BI_JPEG; }},
        {"PNG", [](HeaderBlock &b) { b.header().biCompression = BI_PNG; }},
        {"alpha bit fields", [](HeaderBlock &b) { b.header().biBitCount = 32, b.header().biCompression = 6; }},
        {"2 bits", [](HeaderBlock &b) { b.header().biBitCount = 2; }},
        {"0 bits", [](HeaderBlock &b) { b.header().biBitCount = 0; }},
        {"30000 bits", [](HeaderBlock &b) { b.header().biBitCount = 30000; }},
        {"0 planes", [](HeaderBlock &b) { b.header().biPlanes = 0; }},
        {"2 planes", [](HeaderBlock &b) { b.header().biPlanes = 2; }},
        {"width 0", [](HeaderBlock &b) { b.header().biWidth = 0; }},
        {"negative width", [](HeaderBlock &b) { b.header().biWidth = -127; }},
        {"height 0", [](HeaderBlock &b) { b.header().biHeight = 0; }},
        {"24-bit bit fields", [](HeaderBlock &b) { b.header().biCompression = BI_BITFIELDS, b.masks(0xFF0000, 0xFF00, 0xFF); }},
        {"8-bit bit fields", [](HeaderBlock &b) { b.header().biBitCount = 8, b.header().biCompression = BI_BITFIELDS, b.masks(0xE0, 0x1C, 0x3); }},
        {"a zero mask", [](HeaderBlock &b) { b.header().biBitCount = 16, b.header().biCompression = BI_BITFIELDS, b.masks(0xF800, 0x7E0, 0); }},
        {"3000000 x 2000000", [](HeaderBlock &b) { b.header().biWidth = 3000000, b.header().biHeight = 2000000; }},
    };
    for (const auto &[name, edit] : rejected) {
        HeaderBlock block;
        edit(block);
        void *bits = reinterpret_cast<void *>(1);
        EXPECT_EQ(CreateDIBSection(nullptr, block.info(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << name;
        EXPECT_EQ(bits, nullptr) << name;
    }
    void *bits = reinterpret_cast<void *>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
}

TEST_F(Gdi, CreateDIBSectionAcceptsEveryHeaderVersionAndTopDownRows) {
    for (DWORD size : {40u, 52u, 56u, 108u, 124u}) {
        HeaderBlock block;
        block.header().biSize = size;
        block.header().biHeight = -4;
        DibSection section(block.info());
        EXPECT_TRUE(section.handle) << size;
        EXPECT_TRUE(section.bits) << size;
    }
    BITMAPCOREHEADER core{sizeof(BITMAPCOREHEADER), 4, 4, 1, 24};
    DibSection section(reinterpret_cast<BITMAPINFO *>(&core));
    EXPECT_TRUE(section.handle);
}

TEST_F(Gdi, LargerHeadersCarryTheirMasksInside) {
    HeaderBlock block;
    block.header().biSize = 108;
    block.header().biBitCount = 16;
    block.header().biCompression = BI_BITFIELDS;
    block.masks(0xF800, 0x07E0, 0x001F);
    DibSection section(block.info());
    ASSERT_TRUE(section.handle);
    uint16_t pure_green = 0x07E0;
    std::memcpy(section.bits, &pure_green, 2);
    MemoryDc dc(section.handle);
    EXPECT_EQ(GetPixel(dc, 0, 3), RGB(0, 255, 0)) << "first memory row of a bottom-up section is the bottom row";
}

// 12 bytes is a core header; 40 or more an info header with its masks right after the first 40
// bytes, whatever the rest holds; every call that reads a header refuses the other sizes.
TEST_F(Gdi, HeaderSizesFrom11To130) {
    DibSection canvas(DibFormat(32, 1, 1, true));
    MemoryDc canvas_dc(canvas.handle);
    uint32_t pixel = benchtest::kSizedHeaderPixel;
    for (DWORD size = 11; size <= 130; ++size) {
        std::vector<uint8_t> block = benchtest::sized_header_block(size);
        const auto *info = reinterpret_cast<const BITMAPINFO *>(block.data());
        bool readable = size == 12 || size >= 40;
        COLORREF colour = size == 12 ? RGB(0, 0, 255) : RGB(255, 0, 0);
        DibSection section(info);
        EXPECT_EQ(section.handle != nullptr, readable) << size;
        if (section.handle) {
            std::memcpy(section.bits, &pixel, 2);
            EXPECT_EQ(GetPixel(MemoryDc(section.handle), 0, 0), colour) << size;
        }
        std::memset(canvas.bits, 0, 4);
        EXPECT_EQ(SetDIBitsToDevice(canvas_dc, 0, 0, 1, 1, 0, 0, 0, 1, &pixel, info, DIB_RGB_COLORS), readable ? 1 : 0)
            << size;
        EXPECT_EQ(GetPixel(canvas_dc, 0, 0), readable ? colour : RGB(0, 0, 0)) << size;
        HBITMAP bitmap = CreateDIBitmap(nullptr, &info->bmiHeader, CBM_INIT, &pixel, info, DIB_RGB_COLORS);
        EXPECT_EQ(bitmap != nullptr, readable) << size;
        DeleteObject(bitmap);
    }
}

// An n-bit channel fills the top of the byte and repeats once below (5 bits: v << 3 | v >> 2);
// a channel wider than 8 bits gives its top 8. Writing keeps the top bits of each 8-bit value.
TEST_F(Gdi, ChannelsOfEveryWidthExpandByRepeatingTheirBits) {
    struct Case {
        int width;
        uint32_t value;
        BYTE expanded;
        uint32_t written_back;
    };
    const Case cases[] = {
        {1, 1, 192, 1},     {2, 3, 240, 3},     {3, 7, 252, 7},     {3, 5, 180, 5},
        {4, 9, 153, 9},     {5, 24, 198, 24},   {5, 3, 24, 3},      {6, 33, 134, 33},
        {7, 100, 201, 100}, {8, 171, 171, 171}, {9, 421, 210, 420}, {10, 755, 188, 752},
    };
    for (const Case &c : cases) {
        uint32_t max = (1u << c.width) - 1;
        DibFormat format(32, 1, 1, true, 0, {max << 20, max << 10, max});
        DibSection section(format);
        MemoryDc dc(section.handle);
        uint32_t pixel = c.value << 20 | c.value << 10 | c.value;
        std::memcpy(section.bits, &pixel, 4);
        COLORREF grey = RGB(c.expanded, c.expanded, c.expanded);
        EXPECT_EQ(GetPixel(dc, 0, 0), grey) << c.width << " bits of " << c.value;
        EXPECT_EQ(SetPixel(dc, 0, 0, grey), grey) << c.width << " bits of " << c.value;
        std::memcpy(&pixel, section.bits, 4);
        EXPECT_EQ(pixel, c.written_back << 20 | c.written_back << 10 | c.written_back) << c.width << " bits";
    }
    DibFormat rgb555(16, 1, 1, true);
    DibSection section(rgb555);
    MemoryDc dc(section.handle);
    const uint16_t red_and_dark_grey = 0x7C63;
    std::memcpy(section.bits, &red_and_dark_grey, 2);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 24, 24));
    EXPECT_EQ(SetPixel(dc, 0, 0, RGB(255, 7, 200)), RGB(255, 0, 206)) << "7 keeps no bit of five, 200 keeps 25";
}

TEST_F(Gdi, NewSectionsAreZeroEvenWhenTheirMemoryIsReused) {
    DibFormat format(24, 1280, 1024, true);
    for (int round = 0; round < 3; ++round) {
        DibSection section(format);
        ASSERT_TRUE(section.handle);
        const std::vector<uint8_t> zero(format.image_bytes(), 0);
        EXPECT_EQ(std::memcmp(section.bits, zero.data(), zero.size()), 0) << "round " << round;
        std::memset(section.bits, 0xAB, format.image_bytes());
    }
}

TEST_F(Gdi, CreateDIBSectionFaultGivesNull) {
    setenv("BENCH_FAULTS", "CreateDIBSection@2", 1);
    layer::reload_faults();
    DibFormat format(24, 4, 4, true);
    DibSection first(format), second(format), third(format);
    unsetenv("BENCH_FAULTS");
    layer::reload_faults();
    EXPECT_TRUE(first.handle);
    EXPECT_FALSE(second.handle);
    EXPECT_FALSE(second.bits);
    EXPECT_TRUE(third.handle);
}

// The program's mode-1 capture: a 24-bit top-down section over a mapping of "new.bmp".
class FileBackedSection : public Gdi {
protected:
    void SetUp() override {
        Gdi::SetUp();
        cwd_ = std::make_unique<benchtest::WorkingDirectory>(workspace_.dir());
    }
    void TearDown() override {
        cwd_.reset();
        Gdi::TearDown();
    }
    HANDLE create(const char *name) {
        return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_NO_BUFFERING, nullptr);
    }
    benchtest::Workspace workspace_{false};
    std::unique_ptr<benchtest::WorkingDirectory> cwd_;
};

TEST_F(FileBackedSection, TheFileHoldsThePixelArrayWhileTheSectionLivesAndAfter) {
    DibFormat format(24, 5, 3, true);  // rows of 15 bytes and one padding byte
    HANDLE file = create("new.bmp");
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, DWORD(format.image_bytes()), nullptr);
    ASSERT_TRUE(mapping);
    EXPECT_EQ(workspace_.read("new.bmp"), std::string(48, '\0')) << "the mapping makes the file its size";
    DibSection section(format.info(), mapping, 0);
    ASSERT_TRUE(section.handle);
    {
        MemoryDc dc(section.handle);
        SetPixel(dc, 0, 0, RGB(1, 2, 3));
        SetPixel(dc, 4, 2, RGB(7, 8, 9));
    }
    std::string expected(48, '\0');
    expected.replace(0, 3, "\x03\x02\x01", 3);
    expected.replace(32 + 12, 3, "\x09\x08\x07", 3);
    EXPECT_EQ(workspace_.read("new.bmp"), expected) << "top row first, blue green red";
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_TRUE(CloseHandle(mapping));
    section.bits[3] = 0x44;  // the view outlives both handles
    expected[3] = 0x44;
    EXPECT_EQ(workspace_.read("new.bmp"), expected);
    EXPECT_EQ(create("new.bmp"), INVALID_HANDLE_VALUE) << "the section still holds the file";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    DeleteObject(section.handle);
    section.handle = nullptr;
    EXPECT_EQ(workspace_.read("new.bmp"), expected);
    HANDLE again = create("new.bmp");
    EXPECT_NE(again, INVALID_HANDLE_VALUE) << "deleting the section lets the file go";
    CloseHandle(again);
}

TEST_F(FileBackedSection, AnEmptyMappingFailsAndLeavesTheFileEmpty) {
    HANDLE file = create("new.bmp");
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_INVALID));
    CloseHandle(file);
    EXPECT_EQ(workspace_.read("new.bmp"), "");
}

TEST_F(FileBackedSection, ASectionLargerThanItsMappingIsRefused) {
    HANDLE file = create("new.bmp");
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 16, nullptr);
    DibFormat format(24, 5, 3, true);
    DibSection too_big(format.info(), mapping, 0), misaligned(DibFormat(24, 1, 1, true).info(), mapping, 2);
    EXPECT_FALSE(too_big.handle);
    EXPECT_FALSE(misaligned.handle);
    DibSection fits(DibFormat(24, 1, 1, true).info(), mapping, 12);
    EXPECT_TRUE(fits.handle);
    CloseHandle(mapping);
    CloseHandle(file);
}

TEST_F(Gdi, GetDIBitsWithoutDestinationDescribesTheBitmap) {
    DibFormat format(24, 1001, 10, true);
    DibSection section(format);
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    EXPECT_EQ(GetDIBits(dc, section.handle, 0, 10, nullptr, &info, DIB_RGB_COLORS), 10);
    EXPECT_EQ(info.bmiHeader.biWidth, 1001);
    EXPECT_EQ(info.bmiHeader.biHeight, 10);
    EXPECT_EQ(info.bmiHeader.biBitCount, 24);
    EXPECT_EQ(info.bmiHeader.biSizeImage, 30040u);

    BITMAPINFO asked{};
    asked.bmiHeader.biSize = sizeof asked.bmiHeader;
    asked.bmiHeader.biWidth = 1001;
    asked.bmiHeader.biHeight = -10;
    asked.bmiHeader.biPlanes = 1;
    asked.bmiHeader.biBitCount = 32;
    BITMAPINFO before = asked;
    EXPECT_NE(GetDIBits(dc, section.handle, 0, 10, nullptr, &asked, DIB_RGB_COLORS), 0);
    EXPECT_EQ(asked.bmiHeader.biSizeImage, 40040u);
    asked.bmiHeader.biSizeImage = 0;
    EXPECT_EQ(std::memcmp(&asked, &before, sizeof asked), 0) << "nothing else changes";
    DeleteDC(dc);
}

TEST_F(Gdi, GetDIBitsCopiesScanLinesIntoTheHeadersFormat) {
    L labels(3, 4, true);
    DibSection section(labels.format);
    std::memcpy(section.bits, labels.bits.data(), labels.bits.size());
    HDC dc = CreateCompatibleDC(nullptr);
    for (bool top_down : {true, false}) {
        DibFormat wanted(32, 3, 4, top_down);
        BITMAPINFO info{};
        info.bmiHeader = wanted.info()->bmiHeader;
        std::vector<uint8_t> out(wanted.image_bytes(), 0xEE);
        EXPECT_EQ(GetDIBits(dc, section.handle, 1, 2, out.data(), &info, DIB_RGB_COLORS), 2);
        // Scan lines 1 and 2 land in the first two rows of the buffer, in the header's order.
        DibFormat band(32, 3, 2, top_down);
        for (int y = 0; y < 2; ++y) {
            int picture_row = top_down ? 1 + y : 4 - 1 - (1 + (1 - y));
            EXPECT_EQ(band.read(out.data(), 2, y) & 0xFFFFFF, L::label(2, picture_row) & 0xFFFFFF) << top_down << y;
        }
        EXPECT_EQ(out[2 * 12], 0xEE) << "lines beyond those asked for stay untouched";
    }
    DeleteDC(dc);
}

TEST_F(Gdi, CreateDIBitmapNeedsPixelsToInitialiseFrom) {
    L labels(3, 2, false);
    HDC dc = CreateCompatibleDC(nullptr);
    const BITMAPINFOHEADER *header = &labels.format.info()->bmiHeader;
    EXPECT_EQ(CreateDIBitmap(dc, header, CBM_INIT, nullptr, labels.format.info(), DIB_RGB_COLORS), nullptr);
    HBITMAP blank = CreateDIBitmap(dc, header, 0, nullptr, nullptr, DIB_RGB_COLORS);
    HBITMAP filled = CreateDIBitmap(dc, header, CBM_INIT, labels.bits.data(), labels.format.info(), DIB_RGB_COLORS);
    ASSERT_TRUE(blank && filled);
    BITMAP record;
    GetObjectA(filled, sizeof record, &record);
    EXPECT_EQ(record.bmBits, nullptr) << "a device-dependent bitmap shows no bits";
    EXPECT_EQ(record.bmBitsPixel, 32);
    HGDIOBJ stock = SelectObject(dc, blank);
    EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0, 0, 0));
    SelectObject(dc, filled);
    EXPECT_EQ(GetPixel(dc, 2, 1), L::colour(2, 1));
    SelectObject(dc, stock);
    DeleteObject(blank);
    DeleteObject(filled);
    DeleteDC(dc);
}

// A window's 32-bit top-down backing surface, as the window module keeps it.
struct WindowSurface {
    WindowSurface(int width, int height) : pixels(size_t(width) * height, 0xFF0000FFu) {
        surface.width = width;
        surface.height = height;
        surface.stride = width * 4;
        surface.bits = reinterpret_cast<uint8_t *>(pixels.data());
        dc = gdi::create_window_dc(&surface);
    }
    ~WindowSurface() { gdi::release_window_dc(dc); }
    std::vector<uint32_t> pixels;
    gdi::Surface surface;
    HDC dc;
};

TEST_F(Gdi, WindowContextsDrawOnTheSurfaceAndNothingOutsideIt) {
    WindowSurface window(6, 4);
    EXPECT_EQ(gdi::surface_of(window.dc), &window.surface);
    EXPECT_EQ(GetObjectType(window.dc), DWORD(OBJ_DC));
    EXPECT_EQ(GetPixel(window.dc, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(window.dc, 6, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(window.dc, 0, 4), CLR_INVALID);
    RECT all{-5, -5, 50, 50};
    EXPECT_EQ(FillRect(window.dc, &all, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)), 1);
    EXPECT_EQ(GetPixel(window.dc, 5, 3), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), DWORD(0xFFFFFF));
    EXPECT_EQ(SelectObject(window.dc, CreateCompatibleBitmap(window.dc, 0, 0)), nullptr) << "no bitmaps in window contexts";
    EXPECT_FALSE(DeleteDC(window.dc)) << "window contexts are released, not deleted";
}

TEST_F(Gdi, WindowContextsFollowTheSurfaceWhenItIsResized) {
    WindowSurface window(2, 2);
    std::vector<uint32_t> bigger(5 * 3, 0xFF00FF00u);
    window.surface.bits = reinterpret_cast<uint8_t *>(bigger.data());
    window.surface.width = 5;
    window.surface.height = 3;
    window.surface.stride = 20;
    EXPECT_EQ(GetPixel(window.dc, 4, 2), RGB(0, 255, 0));
}

TEST_F(Gdi, GrabbingBeyondTheClientAreaLeavesThoseDestinationPixelsAlone) {
    WindowSurface window(4, 2);
    window.pixels[1] = 0xFF010203u;
    DibFormat grab(24, 6, 3, true);
    DibSection section(grab);
    std::memset(section.bits, 0x55, grab.image_bytes());
    MemoryDc memory(section.handle);
    EXPECT_TRUE(BitBlt(memory, 0, 0, 6, 3, window.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(memory, 1, 0), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(memory, 3, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(memory, 4, 0), RGB(0x55, 0x55, 0x55)) << "right of the client area";
    EXPECT_EQ(GetPixel(memory, 0, 2), RGB(0x55, 0x55, 0x55)) << "below the client area";
    EXPECT_TRUE(BitBlt(window.dc, 0, 0, 6, 3, memory, 0, 0, SRCCOPY)) << "copied back, clipped to the window";
    EXPECT_EQ(window.pixels[1] & 0xFFFFFF, 0x010203u);
}

TEST_F(Gdi, MemorySourcesAreBlackOutsideTheirBitmap) {
    DibFormat small(24, 2, 2, true), large(24, 4, 4, true);
    DibSection from(small), to(large);
    std::memset(from.bits, 0x11, small.image_bytes());
    std::memset(to.bits, 0x55, large.image_bytes());
    MemoryDc src(from.handle), dst(to.handle);
    EXPECT_TRUE(BitBlt(dst, 0, 0, 3, 3, src, -1, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(dst, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dst, 1, 1), RGB(0x11, 0x11, 0x11));
    EXPECT_EQ(GetPixel(dst, 2, 2), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dst, 3, 3), RGB(0x55, 0x55, 0x55)) << "outside the blit";
    EXPECT_TRUE(BitBlt(dst, 0, 0, 1, 1, src, 0, 0, SRCPAINT)) << "any raster operation";
    EXPECT_FALSE(BitBlt(dst, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
}

TEST_F(Gdi, OverlappingCopiesWithinOneSurfaceReadBeforeWriting) {
    L labels(6, 6, false);
    DibSection section(labels.format);
    std::memcpy(section.bits, labels.bits.data(), labels.bits.size());
    MemoryDc dc(section.handle);
    BitBlt(dc, 1, 1, 5, 5, dc, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(dc, 5, 5), L::colour(4, 4));
    BitBlt(dc, 0, 0, 5, 5, dc, 1, 1, SRCCOPY);
    EXPECT_EQ(GetPixel(dc, 0, 0), L::colour(0, 0));
}

TEST_F(Gdi, ACopyWithinOneSurfaceFromPartlyOutsideReadsBeforeBlackening) {
    L labels(8, 1, false);
    DibSection section(labels.format);
    std::memcpy(section.bits, labels.bits.data(), labels.bits.size());
    MemoryDc dc(section.handle);
    EXPECT_TRUE(BitBlt(dc, 0, 0, 8, 1, dc, -2, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 0, 0));
    for (int x = 2; x < 8; ++x) EXPECT_EQ(GetPixel(dc, x, 0), L::colour(x - 2, 0)) << x;
}

TEST_F(Gdi, DrawBgraBlendsByAlphaAndReadBgraGivesOpaquePixels) {
    WindowSurface window(2, 1);
    window.pixels = {0xFF000000u, 0xFF000000u};
    const uint32_t image[2] = {0x80FFFFFFu, 0x00FFFFFFu};
    gdi::draw_bgra(window.dc, 0, 0, image, 2, 1, true);
    EXPECT_EQ(GetPixel(window.dc, 0, 0), RGB(128, 128, 128));
    EXPECT_EQ(GetPixel(window.dc, 1, 0), RGB(0, 0, 0));
    gdi::draw_bgra(window.dc, -1, 0, image, 2, 1, false);
    EXPECT_EQ(window.pixels[0], 0x00FFFFFFu) << "copied as is, clipped on the left";

    DibFormat format(16, 2, 1, true);
    DibSection section(format);
    uint16_t white = 0x7FFF;
    std::memcpy(section.bits, &white, 2);
    gdi::Surface surface;
    size_t bytes = 0;
    ASSERT_TRUE(gdi::describe_dib(format.info(), &surface, &bytes));
    EXPECT_EQ(bytes, 4u);
    surface.bits = section.bits;
    uint32_t out[2];
    gdi::read_bgra(surface, out);
    EXPECT_EQ(out[0], 0xFFFFFFFFu) << "five bits of 31 expand to 255";
    EXPECT_EQ(out[1], 0xFF000000u);
}

// --- The generated BMP files: headers through describe_dib, pixels through read_bgra, against
// the expected pictures.

TEST(GdiBmpFiles, FilesThatLoadShowTheExpectedPictures) {
    for (const IndexEntry &entry : read_image_index(image_path("bmp"))) {
        LoadedBmp bmp;
        bool loads = load_bmp(image_path("bmp/" + entry.file), &bmp);
        if (entry.verdict == "LOAD") {
            EXPECT_EQ(loads, !compressed(entry)) << entry.file;
        }
        if (!loads || entry.reference.empty()) continue;
        RgbaImage reference;
        ASSERT_TRUE(read_png(image_path("bmp/ref/" + entry.reference), &reference));
        EXPECT_EQ(largest_difference(bmp.surface, reference, {8, 8, 8}), 0) << entry.file;
    }
}

// --- The engine's preconditions: in checked builds a block off its surface stops the process.

TEST(EnginePreconditions, ABlockOffItsSurfaceStopsACheckedBuild) {
    if (!gdi::checks_preconditions()) GTEST_SKIP() << "this build of the engine trusts its callers";
    std::vector<uint32_t> pixels(4 * 4);
    gdi::Surface s;
    s.bits = reinterpret_cast<uint8_t *>(pixels.data());
    s.width = s.height = 4;
    s.stride = 16;
    struct Case { int x, y, w, h; } cases[] = {{-1, 0, 2, 2}, {0, -1, 2, 2}, {3, 0, 2, 1}, {0, 3, 1, 2}, {0, 0, 5, 1}};
    for (const Case &c : cases) {
        EXPECT_DEATH(gdi::copy_pixels(s, 0, 0, s, c.x, c.y, c.w, c.h), "engine precondition failed") << c.x << "," << c.y;
        EXPECT_DEATH(gdi::fill_pixels(s, c.x, c.y, c.w, c.h, 0), "engine precondition failed") << c.x << "," << c.y;
    }
    gdi::AxisMap columns{0, {0, 1, 4}}, rows{0, {0}};
    EXPECT_DEATH(gdi::stretch_pixels(s, columns, rows, s), "engine precondition failed");
    gdi::copy_pixels(s, 0, 0, s, 2, 2, 2, 2);  // inside: no stop
}

}  // namespace
