// The codec table, with the platform's identifiers, names and signatures, in its encoder order
// (BMP, JPEG, GIF, TIFF, PNG) less the formats the layer lacks.
#include "gdiplus/codec_table.h"

#include <cstring>

#include "gdiplus/codecs.h"

namespace gdiplus {
namespace {

// The built-in codecs' CLSIDs and the image format GUIDs differ only in their first field.
constexpr CLSID builtin_codec(DWORD first) {
    return {first, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
}
constexpr GUID image_format(DWORD first) {
    return {first, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
}

// A JPEG is sniffed by its start-of-image marker and the next marker's lead byte, so that two bytes
// alone are no JPEG; the platform lists only the first two.
const Codec kCodecs[] = {
    {"BMP", builtin_codec(0x557CF400), image_format(0xB96B3CAB), L"Built-in BMP Codec", L"BMP",
     L"*.BMP;*.DIB;*.RLE", L"image/bmp", "BM", "BM", decode_bmp, encode_bmp},
    {"JPEG", builtin_codec(0x557CF401), image_format(0xB96B3CAE), L"Built-in JPEG Codec", L"JPEG",
     L"*.JPG;*.JPEG;*.JPE;*.JFIF", L"image/jpeg", "\xFF\xD8", "\xFF\xD8\xFF", decode_jpeg, encode_jpeg},
    {"PNG", builtin_codec(0x557CF406), image_format(0xB96B3CAF), L"Built-in PNG Codec", L"PNG", L"*.PNG",
     L"image/png", "\x89PNG\r\n\x1A\n", "\x89PNG\r\n\x1A\n", decode_png, encode_png},
};

}  // namespace

CodecRows codecs() { return {kCodecs, sizeof kCodecs / sizeof kCodecs[0]}; }

const Codec *codec_for_clsid(const CLSID &clsid) {
    for (const Codec &codec : codecs())
        if (codec.clsid == clsid) return &codec;
    return nullptr;
}

const Codec *codec_for_bytes(const uint8_t *data, size_t size) {
    for (const Codec &codec : codecs())
        if (size >= codec.sniffing.size && std::memcmp(data, codec.sniffing.bytes, codec.sniffing.size) == 0)
            return &codec;
    return nullptr;
}

}  // namespace gdiplus
