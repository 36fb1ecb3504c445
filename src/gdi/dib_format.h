// Which DIB headers each entry point takes, and reading a caller's header, masks and colour
// table into a surface. Every call that reads a BITMAPINFO decides through dib_accepted, so the
// rules live in one table (dib_description.cpp).
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "engine/dib_layout.h"
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
};

// A 12-byte header, or 40 bytes or more (read as an info header); false for other sizes.
bool read_dib_header(const BITMAPINFO *info, DibHeader *out);

// Whether the entry point takes this header, masks and colour usage.
bool dib_accepted(const BITMAPINFO *info, const DibHeader &header, UINT usage, DibUse use);

// The caller's DIB as a surface without bits: the format with its masks, or its colour table
// (DIB_PAL_COLORS: indices into hdc's palette); indices past the entries given read as black.
// Run-length DIBs are described as the pixels they decode to.
bool dib_surface(const BITMAPINFO *info, const DibHeader &header, UINT usage, HDC hdc, Surface *out);

// Reads, checks and describes in one step: a surface for the caller's pixels as they are, so
// false for run-length DIBs too.
bool describe_caller_dib(const BITMAPINFO *info, UINT usage, HDC hdc, DibUse use, Surface *out);

}  // namespace gdi
