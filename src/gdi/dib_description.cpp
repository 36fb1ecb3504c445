// Reading a caller's BITMAPINFO (the engine reads its header fields). Which formats each entry
// point takes is decided in dib_accepted, as the platform decides it.
#include <climits>
#include <cstring>
#include <utility>

#include "gdi/colour_tables.h"
#include "gdi/dib_format.h"
#include "gdi/gdi_internal.h"
#include "gdi/gdi_objects.h"

namespace gdi {
namespace {

DWORD dword_at(const uint8_t *p) {
    DWORD v;
    std::memcpy(&v, p, 4);
    return v;
}

const uint8_t *bytes_of(const BITMAPINFO *info) { return reinterpret_cast<const uint8_t *>(info); }

// Masks sit right after the first 40 bytes: after an info header, or inside a larger one.
void read_masks(const BITMAPINFO *info, uint32_t masks[3]) {
    for (int i = 0; i < 3; ++i) masks[i] = dword_at(bytes_of(info) + sizeof(BITMAPINFOHEADER) + 4 * i);
}

bool masks_set(const BITMAPINFO *info) {
    uint32_t masks[3];
    read_masks(info, masks);
    return masks[0] && masks[1] && masks[2];
}

// Uncompressed formats: 1, 4, 8 and 24 bits as RGB; 16 and 32 bits as RGB or with masks.
bool plain_format(const DibHeader &h) {
    switch (h.bpp) {
    case 1:
    case 4:
    case 8:
    case 24: return h.compression == BI_RGB;
    case 16:
    case 32: return h.compression == BI_RGB || h.compression == BI_BITFIELDS;
    default: return false;
    }
}

bool run_length_format(const DibHeader &h) {
    return (h.bpp == 4 && h.compression == BI_RLE4) || (h.bpp == 8 && h.compression == BI_RLE8);
}

bool has_size(const DibHeader &h) { return h.width > 0 && h.height != 0; }

bool fits_memory(const DibHeader &h) { return h.stride() * h.rows() <= INT_MAX; }

// Run-length pixels need their byte count, and come bottom-up only.
bool run_length_input(const DibHeader &h) { return run_length_format(h) && h.image_bytes != 0 && !h.top_down(); }

bool usage_accepted(UINT usage, DibUse use) {
    switch (use) {
    case DibUse::DeviceBitmap:
    case DibUse::ToDevice: return usage <= DIB_PAL_COLORS + 1;
    default: return usage <= DIB_PAL_COLORS;
    }
}

// GetDIBits asked with no bit count describes the bitmap: only the header is read.
bool format_query_accepted(const DibHeader &h, DibUse use) {
    if (use == DibUse::GetBitsSize) return true;
    return use == DibUse::GetBitsInfo && h.compression != BI_JPEG && h.compression != BI_PNG;
}

bool format_accepted(const BITMAPINFO *info, const DibHeader &h, UINT usage, DibUse use) {
    bool plain = plain_format(h), planes = h.planes != 0;
    bool masks_ok = h.compression != BI_BITFIELDS || masks_set(info);
    switch (use) {
    case DibUse::Section:
        return plain && planes && (h.planes == 1 || h.planes * h.bpp <= 16) && masks_ok && fits_memory(h) &&
               !(h.compression == BI_BITFIELDS && usage == DIB_PAL_COLORS);
    case DibUse::DeviceBitmap: return h.compression != BI_JPEG && h.compression != BI_PNG;
    case DibUse::SetBits: return (plain && planes && masks_ok) || run_length_input(h);
    case DibUse::ToDevice: return (plain && planes) || run_length_input(h);
    case DibUse::GetBits: return plain && planes;
    case DibUse::GetBitsInfo: return plain || run_length_format(h);
    case DibUse::GetBitsSize: return (plain && planes) || run_length_format(h);
    }
    return false;
}

// The colour table as given: RGBQUADs, RGBTRIPLEs after a core header, or palette indices.
void read_table(const BITMAPINFO *info, const DibHeader &h, UINT usage, HDC hdc, TableColour *colours) {
    const uint8_t *table = bytes_of(info) + h.size;
    size_t count = h.table_entries();
    if (usage == DIB_PAL_COLORS) {
        uint16_t indices[256];
        std::memcpy(indices, table, count * sizeof(uint16_t));
        palette_colours(hdc, indices, count, colours);
        return;
    }
    size_t entry_bytes = h.core() ? sizeof(RGBTRIPLE) : sizeof(RGBQUAD);
    for (size_t i = 0; i < count; ++i, table += entry_bytes) colours[i] = TableColour{table[0], table[1], table[2], 0};
}

}  // namespace

bool dib_accepted(const BITMAPINFO *info, const DibHeader &h, UINT usage, DibUse use) {
    if (!usage_accepted(usage, use)) return false;
    if (h.bpp == 0 && (use == DibUse::GetBitsInfo || use == DibUse::GetBitsSize)) return format_query_accepted(h, use);
    if (use == DibUse::DeviceBitmap) return h.width >= 0 && format_accepted(info, h, usage, use);
    return has_size(h) && format_accepted(info, h, usage, use);
}

bool dib_surface(const BITMAPINFO *info, const DibHeader &h, UINT usage, HDC hdc, Surface *out) {
    if (!(plain_format(h) || run_length_format(h)) || !fits_memory(h)) return false;
    Surface s;
    s.width = int(h.width);
    s.height = int(h.rows());
    s.stride = int(h.stride());
    s.bottom_up = !h.top_down();
    if (h.compression == BI_BITFIELDS) {
        uint32_t masks[3];
        read_masks(info, masks);
        s.format = PixelFormat::with_masks(h.bpp, masks);
    } else if (h.bpp <= 8) {
        TableColour colours[256] = {};
        read_table(info, h, usage, hdc, colours);
        s.format = PixelFormat::indexed(h.bpp, colours, h.table_entries());
    } else {
        s.format = PixelFormat::direct(h.bpp);
    }
    *out = std::move(s);
    return true;
}

bool describe_caller_dib(const BITMAPINFO *info, UINT usage, HDC hdc, DibUse use, Surface *out) {
    DibHeader h;
    return read_dib_header(info, &h) && dib_accepted(info, h, usage, use) && !h.run_length() &&
           dib_surface(info, h, usage, hdc, out);
}

bool read_dib_header(const BITMAPINFO *info, DibHeader *out) {
    return info && read_dib_header(bytes_of(info), out);
}

bool describe_dib(const BITMAPINFO *info, Surface *out, size_t *image_bytes) {
    DibHeader h;
    return read_dib_header(info, &h) && describe_dib_layout(h, bytes_of(info), out, image_bytes);
}

}  // namespace gdi
