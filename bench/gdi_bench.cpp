// The GDI engine's hot paths against baselines measured in the same run: the program's 1280 x 1024
// grab, single-pixel reads for the dump of type 0 and over narrower sections against a 24-bit one,
// and the per-repaint section.
#include <windows.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "gdi/gdi_internal.h"
#include "timing.h"

namespace {

constexpr int kWidth = 1280, kHeight = 1024;
constexpr size_t kGrabBytes = size_t(kWidth) * kHeight * 3;  // 3,932,160
constexpr size_t kDumpBytes = size_t(kWidth) * kHeight * 4;  // 5,242,880
constexpr int kRuns = 30;

BITMAPINFO grab_header() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    return info;
}

// A window's 32-bit backing surface with a context on it, filled with something other than zero.
struct Window {
    Window() : pixels(size_t(kWidth) * kHeight) {
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0xFF000000u | uint32_t(i * 2654435761u >> 8);
        surface.width = kWidth;
        surface.height = kHeight;
        surface.stride = kWidth * 4;
        surface.bits = reinterpret_cast<uint8_t *>(pixels.data());
        dc = gdi::create_window_dc(&surface);
    }
    ~Window() { gdi::release_window_dc(dc); }
    std::vector<uint32_t> pixels;
    gdi::Surface surface;
    HDC dc;
};

void grab_against_memcpy(const Window &window) {
    BITMAPINFO info = grab_header();
    void *bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(window.dc);
    HGDIOBJ previous = SelectObject(memory, section);
    std::vector<uint8_t> copy(kGrabBytes, 1);
    const uint8_t *source = window.surface.bits;
    double blit = 0, baseline = 0;
    benchtime::best_ms_interleaved(
        kRuns, [&] { BitBlt(memory, 0, 0, kWidth, kHeight, window.dc, 0, 0, SRCCOPY); },
        [&] { std::memcpy(copy.data(), source, kGrabBytes); }, &blit, &baseline);
    std::printf("memcpy of 3,932,160 bytes: %.3f ms\n", baseline);
    benchtime::report("BitBlt 1280x1024 window 32 -> section 24", blit, baseline, "memcpy", 2.0);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(section);
}

void pixels_against_file_writes(const Window &window) {
    std::vector<char> filled(kDumpBytes, 'x');
    unsigned sink = 0;
    double reads = 0, writes = 0;
    benchtime::best_ms_interleaved(
        kRuns,
        [&] {
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) sink += GetPixel(window.dc, x, y);
        },
        [&] {
            FILE *file = fopen("gdi_bench.out", "wb");
            std::fwrite(filled.data(), 1, filled.size(), file);
            fclose(file);
        },
        &reads, &writes);
    std::printf("writing 5,242,880 bytes: %.3f ms\n", writes);
    benchtime::report("1,310,720 GetPixel calls", reads, writes, "the file write", 0);
    std::remove("gdi_bench.out");
    if (sink == 1) std::puts("");  // keeps the reads from being optimised away
}

// A 1280 x 1024 section of one format selected into a memory context, its bytes made varied.
class FormatSection {
public:
    FormatSection(int bpp, std::initializer_list<DWORD> masks) {
        struct {
            BITMAPINFOHEADER header;
            DWORD table[256];  // masks or palette
        } info{};
        info.header = grab_header().bmiHeader;
        info.header.biBitCount = WORD(bpp);
        info.header.biCompression = masks.size() ? BI_BITFIELDS : BI_RGB;
        std::copy(masks.begin(), masks.end(), info.table);
        if (bpp == 8)
            for (DWORD i = 0; i < 256; ++i) info.table[i] = i * 0x010203u;
        void *bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
        auto *bytes = static_cast<uint8_t *>(bits);
        for (size_t i = 0; i < size_t(kWidth) * kHeight * bpp / 8; ++i) bytes[i] = uint8_t(i * 2654435761u >> 13);
        dc_ = CreateCompatibleDC(nullptr);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~FormatSection() {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    HDC dc() const { return dc_; }

private:
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ previous_;
};

unsigned read_every_pixel(HDC dc) {
    unsigned sum = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) sum += GetPixel(dc, x, y);
    return sum;
}

// GetPixel over the narrower formats against the same calls over a 24-bit section.
void pixel_reads_by_format() {
    FormatSection rgb24(24, {}), rgb565(16, {0xF800, 0x07E0, 0x001F}), indexed(8, {});
    unsigned sink = 0;
    double wide = 0, narrow = 0;
    for (auto [name, section] : {std::pair{"16-bit 5-6-5", &rgb565}, std::pair{"8-bit indexed", &indexed}}) {
        benchtime::best_ms_interleaved(
            kRuns, [&] { sink += read_every_pixel(section->dc()); }, [&] { sink += read_every_pixel(rgb24.dc()); },
            &narrow, &wide);
        std::printf("1,310,720 GetPixel calls on a 24-bit section: %.3f ms\n", wide);
        std::string what = std::string("GetPixel x 1,310,720 on ") + name;
        benchtime::report(what.c_str(), narrow, wide, "24-bit", 2.0);
    }
    if (sink == 1) std::puts("");  // keeps the reads from being optimised away
}

// The grab's section is made and deleted on every repaint; fresh pages would cost their first touch.
void section_cycle_against_fresh_pages() {
    BITMAPINFO info = grab_header();
    double cycle = 0, fresh = 0;
    benchtime::best_ms_interleaved(
        kRuns,
        [&] {
            void *bits = nullptr;
            HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
            static_cast<uint8_t *>(bits)[kGrabBytes - 1] = 1;
            DeleteObject(section);
        },
        [&] {
            void *pages = mmap(nullptr, kGrabBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            auto *bytes = static_cast<volatile uint8_t *>(pages);
            for (size_t i = 0; i < kGrabBytes; i += 4096) bytes[i] = 1;  // what a blit into it touches
            munmap(pages, kGrabBytes);
        },
        &cycle, &fresh);
    std::printf("first touch of 3,932,160 bytes of fresh pages: %.3f ms\n", fresh);
    benchtime::report("CreateDIBSection + DeleteObject 1280x1024x24", cycle, fresh, "fresh pages", 0);
}

void stretch_against_memcpy(const Window &window) {
    BITMAPINFO info = grab_header();
    info.bmiHeader.biHeight = kHeight;  // the pattern renderer's bottom-up section
    std::vector<uint8_t> dib(kGrabBytes, 0x5A), copy(kDumpBytes);
    double stretch = 0, baseline = 0;
    benchtime::best_ms_interleaved(
        kRuns,
        [&] {
            StretchDIBits(window.dc, 0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight, dib.data(), &info, DIB_RGB_COLORS,
                          SRCCOPY);
        },
        [&] { std::memcpy(copy.data(), window.surface.bits, kDumpBytes); }, &stretch, &baseline);
    std::printf("memcpy of 5,242,880 bytes: %.3f ms\n", baseline);
    benchtime::report("StretchDIBits 1:1 24 bottom-up -> window 32", stretch, baseline, "memcpy", 0);
}

}  // namespace

int main() {
    std::string dir = benchtime::enter_scratch_dir("gdi_bench");
    if (dir.empty()) return 1;
    Window window;
    grab_against_memcpy(window);
    pixels_against_file_writes(window);
    pixel_reads_by_format();
    section_cycle_against_fresh_pages();
    stretch_against_memcpy(window);
    rmdir(dir.c_str());
    return 0;
}
