// GdipGetImageEncodersSize and GdipGetImageEncoders: one block holding the ImageCodecInfo records
// of the codec table's rows, followed by the strings and signature bytes they point to, so that one
// free releases it all.
#include <gdiplus.h>

#include <cstring>
#include <cwchar>

#include "core/faults.h"
#include "core/out_of_memory.h"
#include "gdiplus/codec_table.h"
#include "gdiplus/startup.h"

namespace gdiplus {
namespace {

// ImageCodecFlagsEncoder | ImageCodecFlagsDecoder | ImageCodecFlagsSupportBitmap | ImageCodecFlagsBuiltin
constexpr DWORD kBuiltinCodecFlags = 0x00010007;

size_t string_bytes(const wchar_t *text) { return (std::wcslen(text) + 1) * sizeof(wchar_t); }

size_t text_bytes() {
    size_t total = 0;
    for (const Codec &codec : codecs())
        total += string_bytes(codec.codec_name) + string_bytes(codec.format_description) +
                 string_bytes(codec.filename_extension) + string_bytes(codec.mime_type);
    return total;
}

// A signature pattern and its mask.
size_t pattern_bytes() {
    size_t total = 0;
    for (const Codec &codec : codecs()) total += 2 * codec.signature.size;
    return total;
}

UINT encoder_count() { return UINT(codecs().count); }

UINT block_size() { return UINT(encoder_count() * sizeof(Gdiplus::ImageCodecInfo) + text_bytes() + pattern_bytes()); }

// Hands out consecutive pieces of the block. The strings come first, where they stay aligned for
// wchar_t, and the byte patterns last.
class BlockWriter {
public:
    explicit BlockWriter(BYTE *next) : next_(next) {}

    const wchar_t *text(const wchar_t *value) {
        return reinterpret_cast<const wchar_t *>(bytes(value, string_bytes(value)));
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
    record->CodecName = strings->text(codec.codec_name);
    record->FormatDescription = strings->text(codec.format_description);
    record->FilenameExtension = strings->text(codec.filename_extension);
    record->MimeType = strings->text(codec.mime_type);
    record->Flags = kBuiltinCodecFlags;
    record->Version = 1;
    record->SigCount = 1;
    record->SigSize = codec.signature.size;
    record->SigPattern = patterns->bytes(codec.signature.bytes, codec.signature.size);
    record->SigMask = patterns->filled(0xFF, codec.signature.size);
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
    for (const gdiplus::Codec &codec : gdiplus::codecs())
        gdiplus::fill_record(codec, &strings, &patterns, encoders++);
    return Ok;
} OUT_OF_MEMORY_RETURNS(OutOfMemory)
