// The platform's identifiers and names for each format, in its encoder order (BMP, JPEG, GIF, TIFF,
// PNG) less the formats the layer lacks.
#include "gdiplus/codec_table.h"

namespace gdiplus {
namespace {

// The built-in codecs' CLSIDs and the image format GUIDs differ only in their first field.
constexpr CLSID builtin_codec(DWORD first) {
    return {first, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
}
constexpr GUID image_format(DWORD first) {
    return {first, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
}

const Codec kCodecs[] = {
    {codecs::Format::Bmp, builtin_codec(0x557CF400), image_format(0xB96B3CAB), "Built-in BMP Codec"},
    {codecs::Format::Jpeg, builtin_codec(0x557CF401), image_format(0xB96B3CAE), "Built-in JPEG Codec"},
    {codecs::Format::Png, builtin_codec(0x557CF406), image_format(0xB96B3CAF), "Built-in PNG Codec"},
};

}  // namespace

CodecRows codec_list() { return {kCodecs, sizeof kCodecs / sizeof kCodecs[0]}; }

const Codec *codec_for_clsid(const CLSID &clsid) {
    for (const Codec &codec : codec_list())
        if (codec.clsid == clsid) return &codec;
    return nullptr;
}

}  // namespace gdiplus
