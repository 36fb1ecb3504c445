// Which DIB headers each entry point takes, and reading a caller's header, masks and colour
// table into a surface. Every call that reads a BITMAPINFO decides through dib_accepted, so the
// rules live in one table (dib_description.cpp).
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "engine/surface.h"

namespace gdi {

// The entry points, as far as they differ in what they accept.
enum class DibUse {
    Section,       // CreateDIBSection
    DeviceBitmap,  // CreateDIBitmap's header: only the size is read
    SetBits,       // SetDIBits, and the pixels CreateDIBitmap initialises from
    ToDevice,      // SetDIBitsToDevice and StretchDIBits
    GetBits,       // GetDIBits copying lines into a buffer
    GetBitsInfo,   // GetDIBits with a buffer and no lines: the header, table or masks only
    GetBitsSize,   // GetDIBits without a buffer
    File,          // a BMP file's header, for loading it as a picture
};

// The header fields that matter, whichever header version holds them.
struct DibHeader {
    bool core = false;  // a 12-byte BITMAPCOREHEADER (RGBTRIPLE colours)
    DWORD header_bytes = 0;
    int64_t width = 0;
    int64_t height = 0;  // negative: top-down
    int planes = 0;
    int bpp = 0;
    DWORD compression = BI_RGB;
    DWORD image_bytes = 0;  // biSizeImage as given
    DWORD colours_used = 0;

    int64_t rows() const { return height < 0 ? -height : height; }
    bool top_down() const { return height < 0; }
    bool run_length() const { return compression == BI_RLE4 || compression == BI_RLE8; }
    // DWORD-aligned bytes of one row.
    int64_t stride() const { return (width * bpp + 31) / 32 * 4; }
    // Entries of the colour table (RGBQUADs or WORD indices) that follow the header or masks.
    size_t table_entries() const;
};

// A 12-byte header, or 40 bytes or more (read as an info header); false for other sizes.
bool read_dib_header(const BITMAPINFO *info, DibHeader *out);

// Whether the entry point takes this header, masks and colour usage.
bool dib_accepted(const BITMAPINFO *info, const DibHeader &header, UINT usage, DibUse use);

// The caller's DIB as a surface without bits: the format with its masks, or its colour table
// (DIB_PAL_COLORS: indices into hdc's palette); indices past the entries given read as black.
// Run-length DIBs are described as the pixels they decode to.
bool dib_surface(const BITMAPINFO *info, const DibHeader &header, UINT usage, HDC hdc, Surface *out);

// The platform's default palette (DEFAULT_PALETTE), 20 entries.
extern const TableColour kDefaultPalette[20];

// The colours of palette indices as hdc's selected palette gives them (entry index % size).
void palette_colours(HDC hdc, const uint16_t *indices, size_t count, TableColour *out);

// Reads, checks and describes in one step: a surface for the caller's pixels as they are, so
// false for run-length DIBs too.
bool describe_caller_dib(const BITMAPINFO *info, UINT usage, HDC hdc, DibUse use, Surface *out);

}  // namespace gdi
