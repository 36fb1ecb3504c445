// GDI objects as a program sees them: the screen and its capabilities, device-dependent bitmaps,
// GetObject records, stock objects, selection rules, palettes, colour forms, colour tables and
// the memory behind DIB sections.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gdi/gdi_internal.h"

namespace {

// Every test ends with as many live GDI objects as it started with.
class GdiObjects : public testing::Test {
protected:
    void SetUp() override { start_ = gdi::live_objects(); }
    void TearDown() override { EXPECT_EQ(gdi::live_objects(), start_) << "GDI objects left alive"; }

private:
    size_t start_ = 0;
};

// A BITMAPINFO with room for a full colour table.
struct Info {
    Info(int width, int height, int bpp, std::vector<RGBQUAD> colours = {}) : bytes(sizeof(BITMAPINFOHEADER) + 256 * 4) {
        BITMAPINFOHEADER &h = header();
        h.biSize = sizeof h;
        h.biWidth = width;
        h.biHeight = height;
        h.biPlanes = 1;
        h.biBitCount = WORD(bpp);
        if (!colours.empty()) std::memcpy(bytes.data() + sizeof h, colours.data(), colours.size() * sizeof(RGBQUAD));
    }
    BITMAPINFOHEADER &header() { return *reinterpret_cast<BITMAPINFOHEADER *>(bytes.data()); }
    BITMAPINFO *info() { return reinterpret_cast<BITMAPINFO *>(bytes.data()); }
    WORD *indices() { return reinterpret_cast<WORD *>(bytes.data() + sizeof(BITMAPINFOHEADER)); }
    std::vector<uint8_t> bytes;
};

struct Section {
    Section(Info &info, HDC hdc = nullptr, UINT usage = DIB_RGB_COLORS)
        : handle(CreateDIBSection(hdc, info.info(), usage, &bits, nullptr, 0)) {}
    ~Section() { DeleteObject(handle); }
    void *bits = nullptr;  // before handle, which the constructor makes
    HBITMAP handle;
};

// A memory context with one bitmap selected, deselected again at the end.
struct Selected {
    explicit Selected(HBITMAP bitmap) : dc(CreateCompatibleDC(nullptr)), previous(SelectObject(dc, bitmap)) {}
    ~Selected() {
        SelectObject(dc, previous);
        DeleteDC(dc);
    }
    HDC dc;
    HGDIOBJ previous;
};

struct Palette {
    explicit Palette(const std::vector<PALETTEENTRY> &entries) {
        std::vector<uint8_t> bytes(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
        auto *logical = reinterpret_cast<LOGPALETTE *>(bytes.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = WORD(entries.size());
        std::memcpy(logical->palPalEntry, entries.data(), entries.size() * sizeof(PALETTEENTRY));
        handle = CreatePalette(logical);
    }
    ~Palette() { DeleteObject(handle); }
    HPALETTE handle;
};

BITMAP bitmap_record(HBITMAP bitmap) {
    BITMAP record{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof record, &record), int(sizeof record));
    return record;
}

TEST_F(GdiObjects, EveryContextReportsTheThirtyTwoBitScreen) {
    HDC screen = GetDC(nullptr);
    HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    struct Case {
        int index, value;
    };
    const Case cases[] = {{BITSPIXEL, 32}, {PLANES, 1},       {HORZRES, 1920},     {VERTRES, 1080}, {LOGPIXELSX, 96},
                          {NUMCOLORS, -1}, {SIZEPALETTE, 0}, {TECHNOLOGY, DT_RASDISPLAY}};
    for (HDC dc : {screen, display, memory})
        for (const Case &c : cases) EXPECT_EQ(GetDeviceCaps(dc, c.index), c.value) << c.index;
    EXPECT_FALSE(GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE);
    EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 0);
    EXPECT_EQ(CreateDCA("PRINTER", nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(ReleaseDC(nullptr, memory), 0) << "only screen contexts are released";
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_TRUE(DeleteDC(display));
    EXPECT_TRUE(DeleteDC(memory));
}

// The shown window's client area appears at its place on the screen, black around it.
TEST_F(GdiObjects, TheScreenShowsTheWindowAtItsPlace) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "ScreenTest";
    RegisterClassExA(&wc);
    HWND hwnd = CreateWindowExA(0, "ScreenTest", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50, 60, 70, nullptr,
                                nullptr, nullptr, nullptr);
    HDC window = GetDC(hwnd);
    SetPixel(window, 0, 0, RGB(1, 2, 3));
    SetPixel(window, 39, 26, RGB(4, 5, 6));
    ReleaseDC(hwnd, window);
    HDC screen = GetDC(nullptr);
    const int x0 = 110, y0 = 83;  // inside the frame: 10 pixels of border, 33 of caption and border
    struct Case {
        int x, y;
        COLORREF colour;
    };
    const Case cases[] = {{x0, y0, RGB(1, 2, 3)},         {x0 + 39, y0 + 26, RGB(4, 5, 6)}, {x0 + 1, y0, RGB(255, 255, 255)},
                          {x0 - 1, y0, RGB(0, 0, 0)},      {x0 + 40, y0 + 26, RGB(0, 0, 0)},  {0, 0, RGB(0, 0, 0)},
                          {1919, 1079, RGB(0, 0, 0)}};
    for (const Case &c : cases) EXPECT_EQ(GetPixel(screen, c.x, c.y), c.colour) << c.x << "," << c.y;
    ReleaseDC(nullptr, screen);
    DestroyWindow(hwnd);
    screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(screen, x0, y0), RGB(0, 0, 0)) << "a window taken away leaves the screen black";
    ReleaseDC(nullptr, screen);
}

// Depths round up to the next one there is; rows are padded to 16 bits.
TEST_F(GdiObjects, CreateBitmapRoundsTheDepthAndPadsRowsToWords) {
    struct Case {
        UINT asked;
        WORD depth;
        LONG width_bytes;  // of a bitmap 15 pixels wide
    };
    const Case cases[] = {{1, 1, 2},    {2, 4, 8},    {4, 4, 8},    {5, 8, 16},   {8, 8, 16},
                          {9, 16, 30},  {15, 16, 30}, {16, 16, 30}, {17, 24, 46}, {24, 24, 46},
                          {25, 32, 60}, {32, 32, 60}};
    for (const Case &c : cases) {
        HBITMAP bitmap = CreateBitmap(15, 3, 1, c.asked, nullptr);
        BITMAP record = bitmap_record(bitmap);
        EXPECT_EQ(record.bmBitsPixel, c.depth) << c.asked;
        EXPECT_EQ(record.bmWidthBytes, c.width_bytes) << c.asked;
        EXPECT_EQ(record.bmPlanes, 1);
        EXPECT_EQ(record.bmBits, nullptr);
        DeleteObject(bitmap);
    }
    SetLastError(0);
    EXPECT_EQ(CreateBitmap(1, 1, 1, 33, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(CreateBitmap(0x8000000, 1, 1, 1, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

// A zero size gives the one monochrome stock bitmap, which deleting leaves alive.
TEST_F(GdiObjects, ZeroSizedBitmapsAreTheStockBitmap) {
    HDC memory = CreateCompatibleDC(nullptr);
    HDC screen = GetDC(nullptr);
    HGDIOBJ stock = GetCurrentObject(memory, OBJ_BITMAP);
    BITMAP zero_width{0, 0, 5, 28, 1, 1, nullptr};
    for (HBITMAP made : {CreateBitmap(0, 5, 1, 32, nullptr), CreateBitmapIndirect(&zero_width),
                         CreateCompatibleBitmap(memory, 0, 0), CreateCompatibleBitmap(screen, 7, 0),
                         CreateDiscardableBitmap(memory, 0, 0)}) {
        EXPECT_EQ(made, stock);
        EXPECT_TRUE(DeleteObject(made));
    }
    BITMAP record = bitmap_record(static_cast<HBITMAP>(stock));
    EXPECT_EQ(record.bmWidth, 1);
    EXPECT_EQ(record.bmWidthBytes, 2);
    EXPECT_EQ(record.bmBitsPixel, 1);
    EXPECT_EQ(GetCurrentObject(screen, OBJ_BITMAP), nullptr) << "the screen holds no bitmap";
    ReleaseDC(nullptr, screen);
    DeleteDC(memory);
}

// Compatible bitmaps take the screen's depth, or a memory context's monochrome bitmap's.
TEST_F(GdiObjects, CompatibleBitmapsTakeTheContextsDepth) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP colour = CreateCompatibleBitmap(screen, 4, 4);
    HBITMAP mono = CreateCompatibleBitmap(memory, 4, 4);
    HGDIOBJ previous = SelectObject(memory, colour);
    HBITMAP colour_too = CreateCompatibleBitmap(memory, 4, 4);
    struct Case {
        HBITMAP bitmap;
        WORD depth;
    };
    for (const Case &c : {Case{colour, 32}, Case{mono, 1}, Case{colour_too, 32}})
        EXPECT_EQ(bitmap_record(c.bitmap).bmBitsPixel, c.depth);
    SelectObject(memory, previous);
    for (HBITMAP b : {colour, mono, colour_too}) DeleteObject(b);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST_F(GdiObjects, GetObjectFillsAsMuchOfTheRecordAsTheSizeAllows) {
    Info info(9, -4, 16);
    Section section(info);
    HBITMAP ddb = CreateBitmap(9, 4, 1, 16, nullptr);
    struct Case {
        int size, ddb, section;
    };
    const Case cases[] = {{0, 0, 0},     {1, 0, 0},     {16, 0, 0},   {32, 32, 32},
                          {64, 32, 32},  {103, 32, 32}, {104, 32, 104}, {208, 32, 104}};
    for (const Case &c : cases) {
        DIBSECTION record[2];
        EXPECT_EQ(GetObjectA(ddb, c.size, record), c.ddb) << c.size;
        EXPECT_EQ(GetObjectA(section.handle, c.size, record), c.section) << c.size;
    }
    EXPECT_EQ(GetObjectA(section.handle, 0, nullptr), int(sizeof(BITMAP)));
    DIBSECTION record;
    GetObjectA(section.handle, sizeof record, &record);
    EXPECT_EQ(record.dsBm.bmBits, section.bits);
    EXPECT_EQ(record.dsBm.bmWidthBytes, 20) << "a section's rows are padded to 32 bits";
    EXPECT_EQ(record.dsBmih.biHeight, 4) << "positive even for a top-down section";
    EXPECT_EQ(record.dsBmih.biSizeImage, 80u);
    EXPECT_EQ(record.dsBitfields[0], 0x7C00u);
    DeleteObject(ddb);
}

TEST_F(GdiObjects, SectionsRecordTheirFullColourTable) {
    struct Case {
        int bpp;
        DWORD given, recorded;
    };
    for (const Case &c : {Case{1, 0, 2}, Case{4, 3, 16}, Case{8, 142, 256}, Case{16, 37, 0}}) {
        Info info(4, 4, c.bpp);
        info.header().biClrUsed = c.given;
        Section section(info);
        DIBSECTION record;
        GetObjectA(section.handle, sizeof record, &record);
        EXPECT_EQ(record.dsBmih.biClrUsed, c.recorded) << c.bpp;
    }
}

// Rows of 16-bit padding, top-down, for device-dependent bitmaps and sections alike; only whole
// rows are copied, and a negative count has no limit.
TEST_F(GdiObjects, GetBitmapBitsCopiesWholeRowsOfWords) {
    const uint8_t rows[] = {0x80, 0x00, 0x40, 0x00, 0x20, 0x00};  // 3 rows of a 9-pixel mono bitmap
    HBITMAP ddb = CreateBitmap(9, 3, 1, 1, rows);
    Info info(9, 3, 1, {{0, 0, 0, 0}, {255, 255, 255, 0}});
    Section section(info);
    std::memcpy(section.bits, "\x20\x00\x00\x00\x40\x00\x00\x00\x80\x00\x00\x00", 12);  // bottom-up
    struct Case {
        LONG count, copied;
    };
    for (HBITMAP bitmap : {ddb, section.handle}) {
        EXPECT_EQ(GetBitmapBits(bitmap, 0, nullptr), 6);
        for (const Case &c : {Case{0, 0}, Case{3, 2}, Case{6, 6}, Case{100, 6}, Case{-1, 6}}) {
            uint8_t out[8];
            std::memset(out, 0xAA, sizeof out);
            EXPECT_EQ(GetBitmapBits(bitmap, c.count, out), c.copied) << c.count;
            EXPECT_EQ(std::memcmp(out, rows, size_t(c.copied)), 0) << c.count;
            EXPECT_EQ(out[c.copied], 0xAA) << c.count;
        }
    }
    const uint8_t changed[] = {0xFF, 0x80, 0x00, 0x00, 0x01, 0x00};
    EXPECT_EQ(SetBitmapBits(ddb, sizeof changed, changed), 6);
    Selected selected(ddb);
    EXPECT_EQ(GetPixel(selected.dc, 8, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(selected.dc, 7, 2), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(selected.dc, 8, 1), RGB(0, 0, 0));
    SelectObject(selected.dc, selected.previous);
    DeleteObject(ddb);
}

TEST_F(GdiObjects, MemoryContextsTakeSectionsMonochromeAndScreenDepthBitmaps) {
    HDC memory = CreateCompatibleDC(nullptr);
    HDC screen = GetDC(nullptr);
    Info info(2, 2, 8);
    Section section(info);
    struct Case {
        HBITMAP bitmap;
        bool into_memory;
    };
    const Case cases[] = {{CreateBitmap(2, 2, 1, 1, nullptr), true},  {CreateBitmap(2, 2, 1, 8, nullptr), false},
                          {CreateBitmap(2, 2, 1, 16, nullptr), false}, {CreateBitmap(2, 2, 1, 24, nullptr), false},
                          {CreateBitmap(2, 2, 1, 32, nullptr), true},  {section.handle, true}};
    for (const Case &c : cases) {
        HGDIOBJ previous = SelectObject(memory, c.bitmap);
        EXPECT_EQ(previous != nullptr, c.into_memory);
        if (previous) {
            EXPECT_EQ(SelectObject(memory, previous), c.bitmap);
        }
        EXPECT_EQ(SelectObject(screen, c.bitmap), nullptr) << "no bitmap goes into the screen";
        if (c.bitmap != section.handle) DeleteObject(c.bitmap);
    }
    SetLastError(0);
    EXPECT_EQ(SelectObject(nullptr, section.handle), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    ReleaseDC(nullptr, screen);
    DeleteDC(memory);
}

TEST_F(GdiObjects, StockObjectsAreSelectableAndOutliveDeletion) {
    struct Case {
        int index;
        DWORD type;
        COLORREF colour;
    };
    const Case cases[] = {{WHITE_BRUSH, OBJ_BRUSH, RGB(255, 255, 255)}, {LTGRAY_BRUSH, OBJ_BRUSH, RGB(192, 192, 192)},
                          {GRAY_BRUSH, OBJ_BRUSH, RGB(128, 128, 128)},  {DKGRAY_BRUSH, OBJ_BRUSH, RGB(64, 64, 64)},
                          {BLACK_BRUSH, OBJ_BRUSH, RGB(0, 0, 0)},       {DEFAULT_PALETTE, OBJ_PAL, 0}};
    HDC dc = CreateCompatibleDC(nullptr);
    for (const Case &c : cases) {
        HGDIOBJ object = GetStockObject(c.index);
        EXPECT_EQ(GetObjectType(object), c.type) << c.index;
        EXPECT_TRUE(DeleteObject(object));
        EXPECT_EQ(GetStockObject(c.index), object) << "one handle for good";
        if (c.type != OBJ_BRUSH) continue;
        LOGBRUSH brush;
        EXPECT_EQ(GetObjectA(object, sizeof brush, &brush), int(sizeof brush));
        EXPECT_EQ(brush.lbColor, c.colour);
        HGDIOBJ previous = SelectObject(dc, object);
        EXPECT_EQ(previous, GetStockObject(WHITE_BRUSH)) << "every context starts with the white brush";
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), object);
        SelectObject(dc, previous);
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), GetStockObject(DEFAULT_PALETTE));
    PALETTEENTRY entries[21];
    EXPECT_EQ(GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 21, entries), 20u);
    EXPECT_EQ(entries[8].peGreen, 0xdc) << "the money green";
    EXPECT_EQ(entries[19].peBlue, 0xff);
    DeleteDC(dc);
}

// On a section with the table {magenta, green}, each COLORREF form resolves to a table colour.
TEST_F(GdiObjects, ColourFormsResolveThroughTableAndPalette) {
    Info info(4, 4, 8, {{255, 0, 255, 0}, {0, 255, 0, 0}});
    info.header().biClrUsed = 2;
    Section section(info);
    Selected selected(section.handle);
    const COLORREF magenta = RGB(255, 0, 255), green = RGB(0, 255, 0), black = RGB(0, 0, 0);
    struct Case {
        COLORREF asked, got;
    };
    const Case default_palette[] = {
        {DIBINDEX(0), magenta},          {DIBINDEX(1), green},          {DIBINDEX(2), black},
        {DIBINDEX(256), magenta},        {PALETTEINDEX(14), green},     {PALETTEINDEX(300), green},
        {PALETTERGB(0x3f, 0, 0x3f), green}, {RGB(0x40, 0, 0x40), magenta}, {RGB(0, 0, 0), green},
    };
    for (const Case &c : default_palette) {
        EXPECT_EQ(SetPixel(selected.dc, 1, 1, c.asked), c.got) << std::hex << c.asked;
        EXPECT_EQ(GetPixel(selected.dc, 1, 1), c.got) << std::hex << c.asked;
        EXPECT_EQ(GetNearestColor(selected.dc, c.asked), c.got) << std::hex << c.asked;
    }
    Palette palette({{0, 250, 0, 0}, {250, 0, 250, 0}});
    HPALETTE previous = SelectPalette(selected.dc, palette.handle, FALSE);
    EXPECT_EQ(previous, GetStockObject(DEFAULT_PALETTE));
    for (const Case &c : {Case{PALETTEINDEX(0), green}, Case{PALETTEINDEX(1), magenta}, Case{PALETTEINDEX(2), green}})
        EXPECT_EQ(SetPixel(selected.dc, 0, 0, c.asked), c.got) << std::hex << c.asked;
    SelectPalette(selected.dc, previous, FALSE);
    EXPECT_TRUE(SetPixelV(selected.dc, 3, 3, RGB(9, 9, 9)));
    EXPECT_FALSE(SetPixelV(selected.dc, 4, 3, RGB(9, 9, 9)));
}

// DIB_PAL_COLORS indices pick entries of the palette in the context at creation, modulo its size.
TEST_F(GdiObjects, PaletteIndexedSectionsKeepTheColoursOfTheirCreation) {
    std::vector<PALETTEENTRY> entries;
    for (int i = 0; i < 3; ++i) entries.push_back(PALETTEENTRY{BYTE(10 * i), BYTE(20 * i), BYTE(30 * i), 0});
    Palette palette(entries);
    HDC screen = GetDC(nullptr);
    HPALETTE previous = SelectPalette(screen, palette.handle, FALSE);
    Info info(4, 4, 4);
    info.header().biClrUsed = 5;
    for (WORD i = 0; i < 5; ++i) info.indices()[i] = WORD(i + 1);
    Section section(info, screen, DIB_PAL_COLORS);
    SelectPalette(screen, previous, FALSE);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(section.handle, nullptr);
    Selected selected(section.handle);
    RGBQUAD table[16];
    ASSERT_EQ(GetDIBColorTable(selected.dc, 0, 16, table), 16u);
    const int expected_entry[] = {1, 2, 0, 1, 2};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(table[i].rgbRed, 10 * expected_entry[i]) << i;
    EXPECT_EQ(table[5].rgbRed + table[5].rgbGreen + table[5].rgbBlue, 0) << "entries not given are black";
}

TEST_F(GdiObjects, SetDIBColorTableRecolours) {
    Info info(2, 1, 1, {{0, 0, 0, 0}, {255, 255, 255, 0}});
    Section section(info);
    static_cast<uint8_t *>(section.bits)[0] = 0x40;  // pixel 1 is index 1
    Selected selected(section.handle);
    RGBQUAD red{0, 0, 200, 77};
    EXPECT_EQ(SetDIBColorTable(selected.dc, 1, 5, &red), 1u) << "only the entries the table has";
    EXPECT_EQ(red.rgbReserved, 77) << "the caller's entries stay as they are";
    EXPECT_EQ(GetPixel(selected.dc, 1, 0), RGB(200, 0, 0));
    RGBQUAD out[2];
    struct Case {
        UINT start, count, copied;
    };
    for (const Case &c : {Case{0, 2, 2}, Case{1, 9, 1}, Case{2, 1, 0}})
        EXPECT_EQ(GetDIBColorTable(selected.dc, c.start, c.count, out), c.copied) << c.start;
    EXPECT_EQ(out[0].rgbReserved, 0);
    HBITMAP ddb = CreateBitmap(2, 1, 1, 1, nullptr);
    Selected with_ddb(ddb);
    EXPECT_EQ(GetDIBColorTable(with_ddb.dc, 0, 2, out), 0u) << "only sections have tables";
    SelectObject(with_ddb.dc, with_ddb.previous);
    DeleteObject(ddb);
}

// A section's bits are a private allocation of their own, in whole pages.
TEST_F(GdiObjects, VirtualQueryDescribesSectionBits) {
    for (int bpp : {1, 16, 24}) {
        Info info(512, 100, bpp);
        Section section(info);
        MEMORY_BASIC_INFORMATION m;
        ASSERT_EQ(VirtualQuery(section.bits, &m, sizeof m), sizeof m);
        EXPECT_EQ(m.BaseAddress, section.bits);
        EXPECT_EQ(m.AllocationBase, section.bits);
        EXPECT_EQ(m.RegionSize, (size_t(512) * bpp / 8 * 100 + 4095) / 4096 * 4096) << bpp;
        EXPECT_EQ(m.State, DWORD(MEM_COMMIT));
        EXPECT_EQ(m.Protect, DWORD(PAGE_READWRITE));
        EXPECT_EQ(m.Type, DWORD(MEM_PRIVATE));
    }
    MEMORY_BASIC_INFORMATION m;
    int local = 0;
    EXPECT_EQ(VirtualQuery(&local, &m, sizeof m), 0u);
}

}  // namespace
