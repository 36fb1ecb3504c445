// GdipGetImageEncodersSize and GdipGetImageEncoders: one block holding the ImageCodecInfo records
// of the codec table's rows, followed by the strings (widened) and signature bytes they point to,
// so that one free releases it all.
#include <gdiplus.h>

#include <cstring>

#include "core/faults.h"
#include "core/out_of_memory.h"
#include "gdiplus/codec_table.h"
#include "gdiplus/startup.h"

namespace gdiplus {
namespace {

// ImageCodecFlagsEncoder | ImageCodecFlagsDecoder | ImageCodecFlagsSupportBitmap | ImageCodecFlagsBuiltin
constexpr DWORD kBuiltinCodecFlags = 0x00010007;

size_t string_bytes(const char *text) { return (std::strlen(text) + 1) * sizeof(wchar_t); }

size_t text_bytes() {
    size_t total = 0;
    for (const Codec &codec : codec_list()) {
        const codecs::FormatRow &format = codec.row();
        total += string_bytes(codec.codec_name) + string_bytes(format.name) + string_bytes(format.extensions) +
                 string_bytes(format.mime_type);
    }
    return total;
}

// A signature pattern and its mask.
size_t pattern_bytes() {
    size_t total = 0;
    for (const Codec &codec : codec_list()) total += 2 * codec.row().signature.size;
    return total;
}

UINT encoder_count() { return UINT(codec_list().count); }

UINT block_size() { return UINT(encoder_count() * sizeof(Gdiplus::ImageCodecInfo) + text_bytes() + pattern_bytes()); }

// Hands out consecutive pieces of the block. The strings come first, where they stay aligned for
// wchar_t, and the byte patterns last.
class BlockWriter {
public:
    explicit BlockWriter(BYTE *next) : next_(next) {}

    // The ASCII text as a wide string.
    const wchar_t *text(const char *value) {
        auto *at = reinterpret_cast<wchar_t *>(next_);
        size_t length = std::strlen(value);
        for (size_t i = 0; i <= length; ++i) at[i] = wchar_t(value[i]);
        next_ += string_bytes(value);
        return at;
    }
    const BYTE *bytes(const void *value, size_t size) {
        BYTE *at = next_;
        std::memcpy(at, value, size);
        next_ += size;
        return at;
    }
    const BYTE *filled(BYTE value, size_t size) {
        BYTE *at = next_;
        std::memset(at, value, size);
        next_ += size;
        return at;
    }

private:
    BYTE *next_;
};

void fill_record(const Codec &codec, BlockWriter *strings, BlockWriter *patterns,
                 Gdiplus::ImageCodecInfo *record) {
    std::memset(record, 0, sizeof *record);
    record->Clsid = codec.clsid;
    record->FormatID = codec.format_id;
    const codecs::FormatRow &format = codec.row();
    record->CodecName = strings->text(codec.codec_name);
    record->FormatDescription = strings->text(format.name);
    record->FilenameExtension = strings->text(format.extensions);
    record->MimeType = strings->text(format.mime_type);
    record->Flags = kBuiltinCodecFlags;
    record->Version = 1;
    record->SigCount = 1;
    record->SigSize = DWORD(format.signature.size);
    record->SigPattern = patterns->bytes(format.signature.bytes, format.signature.size);
    record->SigMask = patterns->filled(0xFF, format.signature.size);
}

}  // namespace
}  // namespace gdiplus

using namespace Gdiplus;

extern "C" Status WINAPI GdipGetImageEncodersSize(UINT *numEncoders, UINT *size) try {
    if (!numEncoders || !size) return InvalidParameter;
    if (!gdiplus::started()) return GdiplusNotInitialized;
    bool listed = !layer::injected_fault("GdipGetImageEncoders");
    *numEncoders = listed ? gdiplus::encoder_count() : 0;
    *size = listed ? gdiplus::block_size() : 0;
    return Ok;
} OUT_OF_MEMORY_RETURNS(OutOfMemory)

extern "C" Status WINAPI GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo *encoders) try {
    if (!encoders) return InvalidParameter;
    if (!gdiplus::started()) return GdiplusNotInitialized;
    if (numEncoders != gdiplus::encoder_count() || size != gdiplus::block_size()) return InvalidParameter;
    BYTE *after_records = reinterpret_cast<BYTE *>(encoders + numEncoders);
    gdiplus::BlockWriter strings(after_records);
    gdiplus::BlockWriter patterns(after_records + gdiplus::text_bytes());
    for (const gdiplus::Codec &codec : gdiplus::codec_list())
        gdiplus::fill_record(codec, &strings, &patterns, encoders++);
    return Ok;
} OUT_OF_MEMORY_RETURNS(OutOfMemory)
