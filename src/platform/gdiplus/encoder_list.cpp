// GdipGetImageEncodersSize and GdipGetImageEncoders: one block holding the ImageCodecInfo records
// followed by the strings and signature bytes they point to, so that one free releases it all.
// The encoders come in the platform's order (BMP, JPEG, GIF, TIFF, PNG) less the ones the layer
// lacks, with the platform's identifiers, names and signatures.
#include "gdiplus/encoder_list.h"

#include <cstring>
#include <cwchar>

#include "core/faults.h"
#include "core/out_of_memory.h"
#include "gdiplus/startup.h"

namespace gdiplus {
namespace {

// ImageCodecFlagsEncoder | ImageCodecFlagsDecoder | ImageCodecFlagsSupportBitmap | ImageCodecFlagsBuiltin
constexpr DWORD kBuiltinCodecFlags = 0x00010007;

struct EncoderEntry {
    Format format;
    CLSID clsid;
    GUID format_id;
    const wchar_t *codec_name;
    const wchar_t *format_description;
    const wchar_t *filename_extension;
    const wchar_t *mime_type;
    DWORD signature_size;
    const BYTE *signature;
};

constexpr BYTE kBmpSignature[] = {'B', 'M'};
constexpr BYTE kJpegSignature[] = {0xFF, 0xD8};
constexpr BYTE kPngSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

const EncoderEntry kEncoders[] = {
    {Format::Bmp,
     {0x557CF400, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     {0xB96B3CAB, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     L"Built-in BMP Codec", L"BMP", L"*.BMP;*.DIB;*.RLE", L"image/bmp", sizeof kBmpSignature, kBmpSignature},
    {Format::Jpeg,
     {0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     {0xB96B3CAE, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     L"Built-in JPEG Codec", L"JPEG", L"*.JPG;*.JPEG;*.JPE;*.JFIF", L"image/jpeg", sizeof kJpegSignature,
     kJpegSignature},
    {Format::Png,
     {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     {0xB96B3CAF, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     L"Built-in PNG Codec", L"PNG", L"*.PNG", L"image/png", sizeof kPngSignature, kPngSignature},
};
constexpr UINT kEncoderCount = sizeof kEncoders / sizeof kEncoders[0];

size_t string_bytes(const wchar_t *text) { return (std::wcslen(text) + 1) * sizeof(wchar_t); }

size_t text_bytes() {
    size_t total = 0;
    for (const EncoderEntry &entry : kEncoders)
        total += string_bytes(entry.codec_name) + string_bytes(entry.format_description) +
                 string_bytes(entry.filename_extension) + string_bytes(entry.mime_type);
    return total;
}

// A signature pattern and its mask.
size_t pattern_bytes() {
    size_t total = 0;
    for (const EncoderEntry &entry : kEncoders) total += 2 * entry.signature_size;
    return total;
}

UINT block_size() { return UINT(kEncoderCount * sizeof(Gdiplus::ImageCodecInfo) + text_bytes() + pattern_bytes()); }

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

private:
    BYTE *next_;
};

void fill_record(const EncoderEntry &entry, BlockWriter *strings, BlockWriter *patterns,
                 Gdiplus::ImageCodecInfo *record) {
    static const BYTE kFullMask[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    std::memset(record, 0, sizeof *record);
    record->Clsid = entry.clsid;
    record->FormatID = entry.format_id;
    record->CodecName = strings->text(entry.codec_name);
    record->FormatDescription = strings->text(entry.format_description);
    record->FilenameExtension = strings->text(entry.filename_extension);
    record->MimeType = strings->text(entry.mime_type);
    record->Flags = kBuiltinCodecFlags;
    record->Version = 1;
    record->SigCount = 1;
    record->SigSize = entry.signature_size;
    record->SigPattern = patterns->bytes(entry.signature, entry.signature_size);
    record->SigMask = patterns->bytes(kFullMask, entry.signature_size);
}

}  // namespace

bool find_encoder(const CLSID &clsid, Format *format) {
    for (const EncoderEntry &entry : kEncoders) {
        if (entry.clsid == clsid) {
            *format = entry.format;
            return true;
        }
    }
    return false;
}

}  // namespace gdiplus

using namespace Gdiplus;

extern "C" Status WINAPI GdipGetImageEncodersSize(UINT *numEncoders, UINT *size) try {
    if (!numEncoders || !size) return InvalidParameter;
    if (!gdiplus::started()) return GdiplusNotInitialized;
    bool listed = !layer::injected_fault("GdipGetImageEncoders");
    *numEncoders = listed ? gdiplus::kEncoderCount : 0;
    *size = listed ? gdiplus::block_size() : 0;
    return Ok;
} OUT_OF_MEMORY_RETURNS(OutOfMemory)

extern "C" Status WINAPI GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo *encoders) try {
    if (!encoders) return InvalidParameter;
    if (!gdiplus::started()) return GdiplusNotInitialized;
    if (numEncoders != gdiplus::kEncoderCount || size != gdiplus::block_size()) return InvalidParameter;
    BYTE *after_records = reinterpret_cast<BYTE *>(encoders + numEncoders);
    gdiplus::BlockWriter strings(after_records);
    gdiplus::BlockWriter patterns(after_records + gdiplus::text_bytes());
    for (UINT i = 0; i < numEncoders; ++i)
        gdiplus::fill_record(gdiplus::kEncoders[i], &strings, &patterns, &encoders[i]);
    return Ok;
} OUT_OF_MEMORY_RETURNS(OutOfMemory)
