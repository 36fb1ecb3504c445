// Which DIB headers each call takes, and GetDIBits / SetDIBits: the scans they move, the tables
// and masks they hand out, as the platform does.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kUntouched = 0xAAAAAAAAu;

// A BITMAPINFO with room for masks or 256 colours, all 0xAA past the header.
struct Info {
    Info(int bpp, int width, int height, DWORD compression = BI_RGB, int planes = 1) {
        std::memset(bytes, 0xAA, sizeof bytes);
        BITMAPINFOHEADER h{};
        h.biSize = sizeof h;
        h.biWidth = width;
        h.biHeight = height;
        h.biPlanes = WORD(planes);
        h.biBitCount = WORD(bpp);
        h.biCompression = compression;
        std::memcpy(bytes, &h, sizeof h);
    }
    BITMAPINFOHEADER &header() { return *reinterpret_cast<BITMAPINFOHEADER *>(bytes); }
    BITMAPINFO *info() { return reinterpret_cast<BITMAPINFO *>(bytes); }
    uint32_t dword(int i) const {
        uint32_t v;
        std::memcpy(&v, bytes + 40 + 4 * i, 4);
        return v;
    }
    uint16_t word(int i) const {
        uint16_t v;
        std::memcpy(&v, bytes + 40 + 2 * i, 2);
        return v;
    }
    void set_dword(int i, uint32_t v) { std::memcpy(bytes + 40 + 4 * i, &v, 4); }
    alignas(4) uint8_t bytes[40 + 256 * 4];
};

struct Screen {
    Screen() : dc(GetDC(nullptr)) {}
    ~Screen() { ReleaseDC(nullptr, dc); }
    HDC dc;
};

// A 32-bit bottom-up section whose pixel at every column of scan k (from the bottom) is k.
struct ScanSection {
    explicit ScanSection(int rows = 8) {
        Info info(32, 8, rows);
        handle = CreateDIBSection(nullptr, info.info(), DIB_RGB_COLORS, reinterpret_cast<void **>(&bits), nullptr, 0);
        for (int i = 0; i < 8 * rows; ++i) bits[i] = uint32_t(i / 8);
    }
    ~ScanSection() { DeleteObject(handle); }
    HBITMAP handle = nullptr;
    uint32_t *bits = nullptr;
};

// --- Formats ------------------------------------------------------------------------------------

struct FormatCase {
    const char *name;
    int bpp, planes;
    DWORD compression;
    UINT usage;
    DWORD image_bytes;
    int width, height;
    uint32_t masks;  // written to all three masks
    // CreateDIBSection, CreateDIBitmap, SetDIBits, SetDIBitsToDevice and StretchDIBits,
    // GetDIBits copying 2 lines, with 0 lines, without a buffer.
    const char *accepted;  // one of "SBTDGIN" per call that takes it
};

const FormatCase kFormats[] = {
    {"24 bits", 24, 1, BI_RGB, DIB_RGB_COLORS, 0, 2, 2, 0, "SBTDGIN"},
    {"16 bits with masks", 16, 1, BI_BITFIELDS, DIB_RGB_COLORS, 0, 2, 2, 0xF0F, "SBTDGIN"},
    {"16 bits with null masks", 16, 1, BI_BITFIELDS, DIB_RGB_COLORS, 0, 2, 2, 0, "BDGIN"},
    {"palette indices and masks", 32, 1, BI_BITFIELDS, DIB_PAL_COLORS, 0, 2, 2, 0xFF, "BTDGIN"},
    {"1 bit, 16 planes", 1, 16, BI_RGB, DIB_RGB_COLORS, 0, 2, 2, 0, "SBTDGIN"},
    {"24 bits, 2 planes", 24, 2, BI_RGB, DIB_RGB_COLORS, 0, 2, 2, 0, "BTDGIN"},
    {"no planes", 24, 0, BI_RGB, DIB_RGB_COLORS, 0, 2, 2, 0, "BI"},
    {"24-bit bit fields", 24, 1, BI_BITFIELDS, DIB_RGB_COLORS, 0, 2, 2, 0xFF, "B"},
    {"RLE8 without a size", 8, 1, BI_RLE8, DIB_RGB_COLORS, 0, 2, 2, 0, "BIN"},
    {"RLE8 with a size, no planes", 8, 0, BI_RLE8, DIB_RGB_COLORS, 1, 2, 2, 0, "BTDIN"},
    {"RLE4 of 8 bits", 8, 1, BI_RLE4, DIB_RGB_COLORS, 1, 2, 2, 0, "B"},
    {"JPEG", 24, 1, BI_JPEG, DIB_RGB_COLORS, 0, 2, 2, 0, ""},
    {"no bit count", 0, 1, BI_RGB, DIB_RGB_COLORS, 0, 2, 2, 0, "BIN"},
    {"no bit count, PNG", 0, 1, BI_PNG, DIB_RGB_COLORS, 0, 2, 2, 0, "N"},
    {"48 bits", 48, 1, BI_RGB, DIB_RGB_COLORS, 0, 2, 2, 0, "B"},
    {"usage 2", 1, 1, BI_RGB, DIB_PAL_COLORS + 1, 0, 2, 2, 0, "BD"},
    {"usage 3", 1, 1, BI_RGB, DIB_PAL_COLORS + 2, 0, 2, 2, 0, ""},
    {"width 0", 32, 1, BI_RGB, DIB_RGB_COLORS, 0, 0, 2, 0, "B"},
    {"negative width", 32, 1, BI_RGB, DIB_RGB_COLORS, 0, -2, 2, 0, ""},
    {"height 0", 32, 1, BI_RGB, DIB_RGB_COLORS, 0, 2, 0, 0, "B"},
    {"top-down", 32, 1, BI_RGB, DIB_RGB_COLORS, 0, 2, -2, 0, "SBTDGIN"},
};

std::string accepted_by(const FormatCase &c, HDC screen, HBITMAP bitmap, HDC memory) {
    auto fresh = [&c] {
        Info info(c.bpp, c.width, c.height, c.compression, c.planes);
        info.header().biSizeImage = c.image_bytes;
        for (int i = 0; i < 3; ++i) info.set_dword(i, c.masks);
        return info;
    };
    uint8_t data[64];
    std::memset(data, 0xAA, sizeof data);
    std::string out;
    void *bits = nullptr;
    Info info = fresh();
    if (HBITMAP section = CreateDIBSection(screen, info.info(), c.usage, &bits, nullptr, 0)) {
        out += 'S';
        DeleteObject(section);
    }
    if (HBITMAP made = CreateDIBitmap(screen, &info.header(), 0, nullptr, info.info(), c.usage)) {
        out += 'B';
        DeleteObject(made);
    }
    if (SetDIBits(screen, bitmap, 0, 1, data, info.info(), c.usage)) out += 'T';
    bool to_device = SetDIBitsToDevice(memory, 0, 0, 1, 1, 0, 0, 0, 1, data, info.info(), c.usage) != 0;
    EXPECT_EQ(StretchDIBits(memory, 0, 0, 1, 1, 0, 0, 1, 1, data, info.info(), c.usage, SRCCOPY) != 0, to_device)
        << c.name << ": StretchDIBits takes what SetDIBitsToDevice takes";
    if (to_device) out += 'D';
    if (GetDIBits(screen, bitmap, 0, 2, data, info.info(), c.usage)) out += 'G';
    EXPECT_EQ(info.header().biBitCount, c.bpp) << c.name << ": GetDIBits keeps the bit count asked for";
    info = fresh();
    if (GetDIBits(screen, bitmap, 0, 0, data, info.info(), c.usage)) out += 'I';
    info = fresh();
    if (GetDIBits(screen, bitmap, 0, 2, nullptr, info.info(), c.usage)) out += 'N';
    return out;
}

TEST(DibFormats, EachCallTakesTheHeadersThePlatformTakes) {
    Screen screen;
    HBITMAP bitmap = CreateCompatibleBitmap(screen.dc, 2, 2);
    ScanSection target;
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, target.handle);
    for (const FormatCase &c : kFormats) EXPECT_EQ(accepted_by(c, screen.dc, bitmap, memory), c.accepted) << c.name;
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

TEST(DibFormats, CompressedSectionsFailWithoutALastError) {
    Info info(8, 2, 2, BI_RLE8);
    SetLastError(12345);
    void *bits = reinterpret_cast<void *>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, info.info(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    EXPECT_EQ(GetLastError(), 12345u);
}

// --- GetDIBits: what the header, table and masks say ----------------------------------------------

TEST(GetDIBits, NoBitCountDescribesTheBitmapAndWritesNothingAfterTheHeader) {
    Screen screen;
    HBITMAP bitmap = CreateCompatibleBitmap(screen.dc, 3, 5);
    Info info(0, 0, 0, BI_RGB, 0);
    EXPECT_NE(GetDIBits(screen.dc, bitmap, 0, 0, nullptr, info.info(), DIB_RGB_COLORS), 0);
    const BITMAPINFOHEADER &h = info.header();
    EXPECT_EQ(h.biWidth, 3);
    EXPECT_EQ(h.biHeight, 5);
    EXPECT_EQ(h.biBitCount, 32);
    EXPECT_EQ(h.biCompression, DWORD(BI_BITFIELDS));
    EXPECT_EQ(h.biSizeImage, 60u);
    EXPECT_EQ(info.dword(0), kUntouched);
    DeleteObject(bitmap);
}

TEST(GetDIBits, NeedsAContext) {
    Screen screen;
    HBITMAP bitmap = CreateCompatibleBitmap(screen.dc, 2, 2);
    Info info(32, 2, 2);
    uint32_t out[4];
    SetLastError(0);
    EXPECT_EQ(GetDIBits(nullptr, bitmap, 0, 2, out, info.info(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(info.header().biSizeImage, 0u);
    DeleteObject(bitmap);
}

struct TableCase {
    const char *name;
    int bpp;
    DWORD compression;
    UINT usage;
    std::vector<std::pair<int, uint32_t>> entries;  // DWORD (or WORD for indices) at a position
};

// From a 32-bit device bitmap: fixed tables, identity indices, the display's masks.
const TableCase kTables[] = {
    {"1 bit: black and white, nothing more", 1, BI_RGB, DIB_RGB_COLORS, {{0, 0}, {1, 0xFFFFFF}, {2, kUntouched}}},
    {"4 bits: the default palette with grey and silver swapped", 4, BI_RGB, DIB_RGB_COLORS,
     {{6, 0x008080}, {7, 0x808080}, {8, 0xC0C0C0}, {9, 0xFF0000}, {15, 0xFFFFFF}, {16, kUntouched}}},
    {"8 bits: the default palette around a colour cube", 8, BI_RGB, DIB_RGB_COLORS,
     {{9, 0xA6CAF0}, {10, 0x402000}, {100, 0x808040}, {245, 0xA0C0C0}, {246, 0xFFFBF0}, {255, 0xFFFFFF}}},
    {"32-bit bit fields: 8-8-8", 32, BI_BITFIELDS, DIB_RGB_COLORS, {{0, 0xFF0000}, {1, 0xFF00}, {2, 0xFF}, {3, kUntouched}}},
    {"16-bit bit fields: 5-6-5", 16, BI_BITFIELDS, DIB_RGB_COLORS, {{0, 0xF800}, {1, 0x7E0}, {2, 0x1F}}},
    {"24 bits: no table", 24, BI_RGB, DIB_RGB_COLORS, {{0, kUntouched}}},
};

TEST(GetDIBits, InfoOnlyFormsWriteTheTableOrMasksAndReturnOne) {
    Screen screen;
    HBITMAP bitmap = CreateCompatibleBitmap(screen.dc, 2, 2);
    for (const TableCase &c : kTables)
        for (bool buffer : {false, true}) {
            Info info(c.bpp, 2, 2, c.compression);
            info.header().biClrUsed = 37;
            uint8_t data[16];
            EXPECT_EQ(GetDIBits(screen.dc, bitmap, 0, 0, buffer ? data : nullptr, info.info(), c.usage), 1) << c.name;
            EXPECT_EQ(info.header().biClrUsed, 0u) << c.name;
            EXPECT_EQ(info.header().biSizeImage, DWORD((2 * c.bpp + 31) / 32 * 4 * 2)) << c.name;
            for (auto [at, value] : c.entries) EXPECT_EQ(info.dword(at), value) << c.name << ", entry " << at;
        }
    DeleteObject(bitmap);
}

TEST(GetDIBits, PaletteIndicesAreTheIdentity) {
    Screen screen;
    HBITMAP bitmap = CreateCompatibleBitmap(screen.dc, 2, 2);
    Info info(4, 2, 2);
    EXPECT_EQ(GetDIBits(screen.dc, bitmap, 0, 0, nullptr, info.info(), DIB_PAL_COLORS), 1);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(info.word(i), i);
    EXPECT_EQ(info.word(16), 0xAAAA);
    DeleteObject(bitmap);
}

TEST(GetDIBits, AnIndexedSectionHandsOutItsTableAndIndices) {
    Info made(8, 4, 1);
    made.header().biClrUsed = 3;
    const uint32_t colours[3] = {0x102030, 0x102030, 0x405060};  // a repeated colour keeps its index
    for (int i = 0; i < 3; ++i) made.set_dword(i, colours[i]);
    uint8_t *bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, made.info(), DIB_RGB_COLORS, reinterpret_cast<void **>(&bits), nullptr, 0);
    const uint8_t indices[4] = {1, 0, 2, 1};
    std::memcpy(bits, indices, 4);
    Screen screen;
    Info asked(8, 4, 1);
    uint8_t out[4] = {};
    EXPECT_EQ(GetDIBits(screen.dc, section, 0, 1, out, asked.info(), DIB_RGB_COLORS), 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(asked.dword(i), colours[i]) << i;
    EXPECT_EQ(asked.dword(3), 0u) << "entries past the section's colours are black";
    EXPECT_EQ(std::memcmp(out, indices, 4), 0);
    DeleteObject(section);
}

// A monochrome bitmap's rows are two bytes; the DIB's four-byte rows come out padded with zeros.
TEST(GetDIBits, RowsOfANarrowerBitmapArePaddedWithZeros) {
    const uint8_t rows[4] = {0xFF, 0xF0, 0x0F, 0x00};
    HBITMAP bitmap = CreateBitmap(12, 2, 1, 1, rows);
    Screen screen;
    Info asked(1, 12, 2);
    uint8_t out[8];
    std::memset(out, 0xAA, sizeof out);
    EXPECT_EQ(GetDIBits(screen.dc, bitmap, 0, 2, out, asked.info(), DIB_RGB_COLORS), 2);
    const uint8_t expected[8] = {0x0F, 0x00, 0, 0, 0xFF, 0xF0, 0, 0};  // bottom-up, 12 bits a row
    EXPECT_EQ(std::memcmp(out, expected, sizeof out), 0);
    DeleteObject(bitmap);
}

// --- Scan lines ---------------------------------------------------------------------------------

constexpr int kZero = -1, kKept = -2;

struct ScanCase {
    int height;  // of the request; negative for top-down
    UINT start, lines;
    int result;
    std::vector<int> rows;  // per buffer row: the source scan it holds, kZero or kKept
};

// An 8-row bitmap read into requests of other heights: the two share their top row.
const ScanCase kGets[] = {
    {8, 0, 8, 8, {0, 1, 2, 3, 4, 5, 6, 7}},
    {8, 1, 12, 7, {1, 2, 3, 4, 5, 6, 7, kKept}},
    {8, 9, 12, 1, {kKept}},
    {16, 1, 12, 5, {kZero, kZero, kZero, kZero, kZero, kZero, kZero, 0, 1, 2, 3, 4, kKept}},
    {16, 2, 3, 0, {kZero, kZero, kZero, kKept}},
    {5, 1, 2, 2, {4, 5, kKept}},
    {-8, 1, 5, 5, {5, 4, 3, 2, 1, kKept}},
    {-16, 1, 12, 5, {4, 3, 2, 1, 0, kZero, kZero, kZero, kZero, kZero, kZero, kZero, kKept}},
};

TEST(GetDIBits, ScansAlignTheTopsZeroBelowTheBitmapAndReturnWhatCameFromIt) {
    ScanSection source;
    Screen screen;
    for (const ScanCase &c : kGets) {
        Info info(32, 8, c.height);
        std::vector<uint32_t> out(8 * 16, kUntouched);
        EXPECT_EQ(GetDIBits(screen.dc, source.handle, c.start, c.lines, out.data(), info.info(), DIB_RGB_COLORS), c.result)
            << c.height << " " << c.start;
        for (size_t row = 0; row < c.rows.size(); ++row) {
            uint32_t want = c.rows[row] == kKept ? kUntouched : c.rows[row] == kZero ? 0 : uint32_t(c.rows[row]);
            EXPECT_EQ(out[row * 8 + 7], want) << "height " << c.height << ", start " << c.start << ", buffer row " << row;
        }
    }
}

// Lines written into an 8-row bitmap: per bitmap scan (from the bottom), the buffer row it got.
const ScanCase kSets[] = {
    {8, 0, 8, 8, {0, 1, 2, 3, 4, 5, 6, 7}},
    {8, 1, 5, 5, {kKept, 0, 1, 2, 3, 4, kKept, kKept}},
    {16, 1, 12, 12, {7, 8, 9, 10, 11, kKept, kKept, kKept}},
    {-16, 5, 12, 12, {8, 7, 6, 5, 4, 3, 2, 1}},
    {5, 1, 2, 2, {kKept, kKept, kKept, kKept, 0, 1, kKept, kKept}},
    {-8, 1, 5, 5, {kKept, 4, 3, 2, 1, 0, kKept, kKept}},
};

TEST(SetDIBits, ScansAlignTheTopsDropWhatFallsOutsideAndReturnTheLinesGiven) {
    ScanSection target;
    Screen screen;
    std::vector<uint32_t> lines(8 * 16);
    for (size_t i = 0; i < lines.size(); ++i) lines[i] = 100 + uint32_t(i / 8);
    for (const ScanCase &c : kSets) {
        std::fill(target.bits, target.bits + 64, kUntouched);
        Info info(32, 8, c.height);
        EXPECT_EQ(SetDIBits(screen.dc, target.handle, c.start, c.lines, lines.data(), info.info(), DIB_RGB_COLORS), c.result)
            << c.height << " " << c.start;
        for (int scan = 0; scan < 8; ++scan) {
            int from = c.rows[size_t(scan)];
            EXPECT_EQ(target.bits[scan * 8], from == kKept ? kUntouched : 100u + uint32_t(from))
                << "height " << c.height << ", start " << c.start << ", scan " << scan;
        }
    }
}

TEST(SetDIBits, IndicesPastThePartialTableAndPaletteIndicesGiveTheirColours) {
    ScanSection target(1);
    Screen screen;
    Info info(8, 8, 1);
    info.header().biClrUsed = 2;
    info.set_dword(0, 0x123456);
    info.set_dword(1, 0xABCDEF);
    const uint8_t indices[8] = {0, 1, 2, 255, 1, 0, 0, 0};
    ASSERT_EQ(SetDIBits(screen.dc, target.handle, 0, 1, indices, info.info(), DIB_RGB_COLORS), 1);
    const uint32_t expected[4] = {0x123456, 0xABCDEF, 0, 0};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(target.bits[x] & 0xFFFFFF, expected[x]) << x;

    Info pal(8, 8, 1);
    const uint16_t palette_indices[2] = {13, 33};  // red of the default palette, 33 % 20 = 13 too
    std::memcpy(pal.bytes + 40, palette_indices, sizeof palette_indices);
    pal.header().biClrUsed = 2;
    ASSERT_EQ(SetDIBits(screen.dc, target.handle, 0, 1, indices, pal.info(), DIB_PAL_COLORS), 1);
    EXPECT_EQ(target.bits[0] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(target.bits[1] & 0xFFFFFF, 0xFF0000u);
}

// --- CreateDIBitmap -----------------------------------------------------------------------------

TEST(CreateDIBitmap, TakesTheContextsFormatAndInitialisesWithoutATopByte) {
    Screen screen;
    Info info(24, 1, 1);
    const uint8_t white[4] = {0xFF, 0xFF, 0xFF, 0};
    HBITMAP bitmap = CreateDIBitmap(screen.dc, &info.header(), CBM_INIT, white, info.info(), DIB_RGB_COLORS);
    ASSERT_TRUE(bitmap);
    BITMAP record;
    ASSERT_EQ(GetObjectA(bitmap, sizeof record, &record), int(sizeof record));
    EXPECT_EQ(record.bmBitsPixel, 32);
    Info asked(32, 1, 1);
    uint32_t pixel = 0;
    EXPECT_EQ(GetDIBits(screen.dc, bitmap, 0, 1, &pixel, asked.info(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(pixel, 0x00FFFFFFu);
    DeleteObject(bitmap);
    EXPECT_EQ(CreateDIBitmap(screen.dc, nullptr, 0, nullptr, nullptr, DIB_RGB_COLORS), nullptr);
}

}  // namespace
