// BMP decoding on the pixel engine: the file's info block describes the pixels exactly as it would
// for CreateDIBSection, and the engine converts them. RLE8 and RLE4 codes are first expanded to
// plain 8-bit indices; embedded JPEG or PNG and OS/2 compressions are refused.
#include <cstddef>
#include <cstring>
#include <vector>

#include "codecs/bmp_rle.h"
#include "codecs/codecs.h"
#include "engine/blit_engine.h"
#include "engine/dib_layout.h"

namespace codecs {
namespace {

// "BM", the file's size, two reserved words, and the offset of the pixels.
constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kPixelOffsetAt = 10;

Status refuse(const char *why, Message *message) {
    message->set(why);
    return Status::Failed;
}

uint32_t dword_at(const uint8_t *p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The bytes between the file header and the pixels, zero-padded so that tables the file claims but
// lacks read as zeros, never past the buffer. A colour table the header claims must fit in the
// file, even where the engine reads less of it.
bool copy_info_block(const uint8_t *data, size_t size, size_t pixels_at, std::vector<uint8_t> *block) {
    uint32_t header_size = dword_at(data + kFileHeaderBytes);
    size_t start = kFileHeaderBytes;
    if (header_size < gdi::kCoreHeaderBytes || header_size > size - start) return false;
    gdi::DibHeader header;
    if (gdi::read_dib_header(data + start, &header) &&
        uint64_t(header.colours_used) * 4 > size - start - header_size)
        return false;
    if (pixels_at < start + header_size || pixels_at > size) return false;
    block->assign(data + start, data + pixels_at);
    if (block->size() < header_size + gdi::kMaxTableBytes) block->resize(header_size + gdi::kMaxTableBytes, 0);
    return true;
}

// Bits per index of run-length encoded pixels, or 0 when they are not.
int rle_bits(const gdi::DibHeader &header) {
    if (header.size < gdi::kInfoHeaderBytes) return 0;
    if (header.compression == gdi::kDibRle8 && header.bpp == 8) return 8;
    if (header.compression == gdi::kDibRle4 && header.bpp == 4) return 4;
    return 0;
}

// The header of the plain 8-bit picture that RLE codes expand to, with the same colour table.
void describe_as_indices(int bits, gdi::DibHeader *header) {
    header->compression = gdi::kDibRgb;
    header->bpp = 8;
    if (header->colours_used == 0) header->colours_used = 1u << bits;
}

Status read_plain(gdi::Surface surface, const uint8_t *pixels, size_t available, size_t image_bytes, Raster *out,
                  Message *message) {
    if (image_bytes > available) return refuse("the pixels run past the end of the file", message);
    Status room = out->allocate(uint64_t(surface.width), uint64_t(surface.height));
    if (room != Status::Ok) return room;
    surface.bits = const_cast<uint8_t *>(pixels);
    gdi::read_bgra(surface, out->pixels.get());
    out->has_alpha = surface.format->has_alpha;
    return Status::Ok;
}

// Pixels the codes never reach keep index 0.
Status read_rle(gdi::Surface surface, int bits, const uint8_t *codes, size_t size, size_t image_bytes, Raster *out) {
    Status room = out->allocate(uint64_t(surface.width), uint64_t(surface.height));
    if (room != Status::Ok) return room;
    std::vector<uint8_t> indices(image_bytes, 0);
    expand_rle(codes, size, bits, surface.width, surface.height, indices.data(), size_t(surface.stride));
    surface.bits = indices.data();
    gdi::read_bgra(surface, out->pixels.get());
    return Status::Ok;
}

}  // namespace

Status decode_bmp(const uint8_t *data, size_t size, Raster *out, Message *message) {
    if (size < kFileHeaderBytes + 4) return refuse("the file is too short for its headers", message);
    size_t pixels_at = dword_at(data + kPixelOffsetAt);
    std::vector<uint8_t> block;
    if (!copy_info_block(data, size, pixels_at, &block)) return refuse("the headers do not fit the file", message);
    gdi::DibHeader header;
    gdi::Surface surface;
    size_t image_bytes = 0;
    bool readable = gdi::read_dib_header(block.data(), &header);
    int bits = readable ? rle_bits(header) : 0;
    if (bits) {
        if (header.height <= 0) return refuse("a run-length encoded picture is bottom-up only", message);
        describe_as_indices(bits, &header);
    }
    if (!readable || !gdi::describe_dib_layout(header, block.data(), &surface, &image_bytes))
        return refuse("the header describes no bitmap the layer reads", message);
    const uint8_t *pixels = data + pixels_at;
    size_t available = size - pixels_at;
    return bits ? read_rle(surface, bits, pixels, available, image_bytes, out)
                : read_plain(surface, pixels, available, image_bytes, out, message);
}

}  // namespace codecs
