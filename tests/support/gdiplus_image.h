// GDI+ in tests: memory streams, quality parameters, images loaded through the flat interface
// with access to their decoded pixels, and JPEG files read with libjpeg directly.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <jpeglib.h>

#include <string>
#include <vector>

#include "gdiplus/objects.h"

namespace benchtest {

using namespace Gdiplus;

inline std::wstring wide(const std::string &text) { return std::wstring(text.begin(), text.end()); }

inline const CLSID kBmpEncoder = {0x557CF400, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
inline const CLSID kJpegEncoder = {0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
inline const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// A fresh memory stream, released with the object.
class Stream {
public:
    Stream() { EXPECT_EQ(CreateStreamOnHGlobal(NULL, TRUE, &stream_), S_OK); }
    ~Stream() { stream_->Release(); }
    IStream *get() const { return stream_; }
    std::string bytes() const {
        STATSTG stat;
        stream_->Stat(&stat, STATFLAG_NONAME);
        std::string out(size_t(stat.cbSize.QuadPart), '\0');
        LARGE_INTEGER start;
        start.QuadPart = 0;
        stream_->Seek(start, STREAM_SEEK_SET, NULL);
        ULONG got = 0;
        stream_->Read(&out[0], ULONG(out.size()), &got);
        out.resize(got);
        return out;
    }

private:
    IStream *stream_ = nullptr;
};

// One quality parameter, as the program fills it.
struct QualityParameter {
    explicit QualityParameter(ULONG value) : quality(value) {
        list.Count = 1;
        list.Parameter[0].Guid = EncoderQuality;
        list.Parameter[0].NumberOfValues = 1;
        list.Parameter[0].Type = EncoderParameterValueTypeLong;
        list.Parameter[0].Value = &quality;
    }
    ULONG quality;
    EncoderParameters list;
};

// An image loaded through the flat interface, with access to its decoded pixels.
class Loaded {
public:
    explicit Loaded(const std::wstring &path) { status = GdipLoadImageFromFile(path.c_str(), &image); }
    explicit Loaded(const std::string &path) : Loaded(wide(path)) {}
    ~Loaded() { GdipDisposeImage(image); }
    Loaded(const Loaded &) = delete;
    Loaded &operator=(const Loaded &) = delete;

    const codecs::Raster &raster() const { return *gdiplus::find_pixels(image); }
    uint32_t at(int x, int y) const { return raster().row(y)[x]; }
    std::string save(const CLSID &encoder, const EncoderParameters *params = NULL) const {
        Stream stream;
        EXPECT_EQ(GdipSaveImageToStream(image, stream.get(), &encoder, params), Ok);
        return stream.bytes();
    }

    GpImage *image = nullptr;
    Status status;
};

inline uint32_t argb(unsigned a, unsigned r, unsigned g, unsigned b) { return (a << 24) | (r << 16) | (g << 8) | b; }
inline int channel(uint32_t pixel, int shift) { return int((pixel >> shift) & 0xFF); }

void expect_same_pixels(const codecs::Raster &a, const codecs::Raster &b, const std::string &what);
std::string read_whole(const std::string &path);
// Every pixel equal to the PNG's: with its alpha, or opaque.
void expect_matches_picture(const Loaded &image, const std::string &png, bool with_alpha);

// A JPEG file decoded with libjpeg directly: header facts and pixels in the chosen colour space.
struct DirectJpeg {
    int width = 0, height = 0, components = 0;
    int sampling[3][2] = {};
    std::vector<std::vector<UINT16>> tables;  // luma and chroma quantisation, natural order
    std::vector<uint8_t> pixels;

    DirectJpeg(const std::string &bytes, J_COLOR_SPACE space);
};

// The quantisation tables libjpeg makes for a quality with its standard tables.
std::vector<std::vector<UINT16>> standard_tables(int quality);

// GDI+ started for each test; every image and drawing surface must be gone by its end.
class GdiplusTest : public testing::Test {
protected:
    void SetUp() override {
        GdiplusStartupInput input;
        ASSERT_EQ(GdiplusStartup(&token, &input, NULL), Ok);
    }
    void TearDown() override {
        GdiplusShutdown(token);
        EXPECT_EQ(gdiplus::live_images(), 0u);
        EXPECT_EQ(gdiplus::live_graphics(), 0u);
    }
    ULONG_PTR token = 0;
};

}  // namespace benchtest
