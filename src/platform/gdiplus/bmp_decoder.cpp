// BMP decoding on the pixel engine: the file's info block describes the pixels exactly as it would
// for CreateDIBSection, and the engine converts them. Only what CreateDIBSection accepts loads
// (no RLE or embedded JPEG/PNG).
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "gdi/gdi_internal.h"
#include "gdiplus/decoders.h"

namespace gdiplus {
namespace {

// Masks and the largest colour table the engine may read after the header.
constexpr size_t kMaxTableBytes = 3 * sizeof(DWORD) + 256 * sizeof(RGBQUAD);

// A colour table the header claims must fit in the file, even where the engine reads less of it.
bool claimed_table_fits(const uint8_t *header, DWORD header_size, size_t bytes_after_header) {
    if (header_size < sizeof(BITMAPINFOHEADER)) return true;
    DWORD colours;
    std::memcpy(&colours, header + offsetof(BITMAPINFOHEADER, biClrUsed), sizeof colours);
    return uint64_t(colours) * sizeof(RGBQUAD) <= bytes_after_header;
}

// The bytes between the file header and the pixels, zero-padded so that tables the file claims but
// lacks read as zeros, never past the buffer.
bool copy_info_block(const uint8_t *data, size_t size, const BITMAPFILEHEADER &file, std::vector<uint8_t> *block) {
    DWORD header_size;
    std::memcpy(&header_size, data + sizeof file, sizeof header_size);
    size_t start = sizeof file;
    if (header_size < sizeof(BITMAPCOREHEADER) || header_size > size - start) return false;
    if (!claimed_table_fits(data + start, header_size, size - start - header_size)) return false;
    if (file.bfOffBits < start + header_size || file.bfOffBits > size) return false;
    size_t present = file.bfOffBits - start;
    block->assign(data + start, data + start + present);
    if (block->size() < header_size + kMaxTableBytes) block->resize(header_size + kMaxTableBytes, 0);
    return true;
}

}  // namespace

Gdiplus::Status decode_bmp(const uint8_t *data, size_t size, Raster *out) {
    BITMAPFILEHEADER file;
    if (size < sizeof file + sizeof(DWORD)) return Gdiplus::GenericError;
    std::memcpy(&file, data, sizeof file);
    std::vector<uint8_t> block;
    if (!copy_info_block(data, size, file, &block)) return Gdiplus::GenericError;
    gdi::Surface surface;
    size_t image_bytes = 0;
    if (!gdi::describe_dib(reinterpret_cast<const BITMAPINFO *>(block.data()), &surface, &image_bytes))
        return Gdiplus::GenericError;
    if (image_bytes > size - file.bfOffBits) return Gdiplus::GenericError;
    Gdiplus::Status room = out->allocate(uint64_t(surface.width), uint64_t(surface.height));
    if (room != Gdiplus::Ok) return room;
    surface.bits = const_cast<uint8_t *>(data + file.bfOffBits);
    gdi::read_bgra(surface, out->pixels.get());
    out->has_alpha = surface.has_alpha;
    return Gdiplus::Ok;
}

}  // namespace gdiplus
