// BMP decoding on the pixel engine: the file's info block describes the pixels exactly as it would
// for CreateDIBSection, and the engine converts them. RLE8 and RLE4 codes are first expanded to
// plain 8-bit indices; embedded JPEG or PNG and OS/2 compressions are refused.
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "engine/blit_engine.h"
#include "gdi/gdi_internal.h"
#include "gdiplus/bmp_rle.h"
#include "gdiplus/codecs.h"

namespace gdiplus {
namespace {

Gdiplus::Status refuse(const char *why, CodecMessage *message) {
    message->set(why);
    return Gdiplus::GenericError;
}

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

// Bits per index of run-length encoded pixels, or 0 when they are not.
int rle_bits(const BITMAPINFOHEADER &header) {
    if (header.biSize < sizeof header) return 0;
    if (header.biCompression == BI_RLE8 && header.biBitCount == 8) return 8;
    if (header.biCompression == BI_RLE4 && header.biBitCount == 4) return 4;
    return 0;
}

// The header of the plain 8-bit picture that RLE codes expand to, with the same colour table.
void describe_as_indices(int bits, BITMAPINFOHEADER *header) {
    header->biCompression = BI_RGB;
    header->biBitCount = 8;
    header->biSizeImage = 0;
    if (header->biClrUsed == 0) header->biClrUsed = 1u << bits;
}

Gdiplus::Status read_plain(gdi::Surface surface, const uint8_t *pixels, size_t available, size_t image_bytes,
                           Raster *out, CodecMessage *message) {
    if (image_bytes > available) return refuse("the pixels run past the end of the file", message);
    Gdiplus::Status room = out->allocate(uint64_t(surface.width), uint64_t(surface.height));
    if (room != Gdiplus::Ok) return room;
    surface.bits = const_cast<uint8_t *>(pixels);
    gdi::read_bgra(surface, out->pixels.get());
    out->has_alpha = surface.format->has_alpha;
    return Gdiplus::Ok;
}

// Pixels the codes never reach keep index 0.
Gdiplus::Status read_rle(gdi::Surface surface, int bits, const uint8_t *codes, size_t size, size_t image_bytes,
                         Raster *out) {
    Gdiplus::Status room = out->allocate(uint64_t(surface.width), uint64_t(surface.height));
    if (room != Gdiplus::Ok) return room;
    std::vector<uint8_t> indices(image_bytes, 0);
    expand_rle(codes, size, bits, surface.width, surface.height, indices.data(), size_t(surface.stride));
    surface.bits = indices.data();
    gdi::read_bgra(surface, out->pixels.get());
    return Gdiplus::Ok;
}

}  // namespace

Gdiplus::Status decode_bmp(const uint8_t *data, size_t size, Raster *out, CodecMessage *message) {
    BITMAPFILEHEADER file;
    if (size < sizeof file + sizeof(DWORD)) return refuse("the file is too short for its headers", message);
    std::memcpy(&file, data, sizeof file);
    std::vector<uint8_t> block;
    if (!copy_info_block(data, size, file, &block)) return refuse("the headers do not fit the file", message);
    auto *header = reinterpret_cast<BITMAPINFOHEADER *>(block.data());
    int bits = rle_bits(*header);
    if (bits) {
        if (header->biHeight <= 0) return refuse("a run-length encoded picture is bottom-up only", message);
        describe_as_indices(bits, header);
    }
    gdi::Surface surface;
    size_t image_bytes = 0;
    if (!gdi::describe_dib(reinterpret_cast<const BITMAPINFO *>(header), &surface, &image_bytes))
        return refuse("the header describes no bitmap the layer reads", message);
    const uint8_t *pixels = data + file.bfOffBits;
    size_t available = size - file.bfOffBits;
    return bits ? read_rle(surface, bits, pixels, available, image_bytes, out)
                : read_plain(surface, pixels, available, image_bytes, out, message);
}

}  // namespace gdiplus
