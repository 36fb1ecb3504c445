// GDI+'s side of the codecs' formats: the platform's identifiers and names for each, and decoding
// and encoding with the platform's statuses.
#pragma once
#include <objbase.h>
#include <gdiplus.h>

#include <cstddef>
#include <cstdint>

#include "codecs/formats.h"
#include "codecs/raster.h"

namespace gdiplus {

struct Codec {
    codecs::Format format;
    CLSID clsid;
    GUID format_id;
    const char *codec_name;

    const codecs::FormatRow &row() const { return codecs::format_row(format); }
};

struct CodecRows {
    const Codec *first;
    size_t count;
    const Codec *begin() const { return first; }
    const Codec *end() const { return first + count; }
};

// Every codec, in the platform's encoder order.
CodecRows codec_list();

// Null when no codec has that encoder CLSID (an all-zero one included).
const Codec *codec_for_clsid(const CLSID &clsid);

struct Image;

// Reads an image from its file's bytes with the format whose leading bytes they have:
// UnknownImageFormat when none has (an empty file included). A large single-scan JPEG is checked
// to the end of its data and its pixels left in the file (*keep_file set, for the image to keep
// it); anything else is decoded whole. With BENCH_TRACE set, a failure's message goes to standard error.
Gdiplus::Status decode_image(const uint8_t *data, size_t size, Image *out, bool *keep_file);
// Decodes the whole picture of an image kept as its file, which then goes; Ok for any other.
Gdiplus::Status decode_whole(Image *image);
// Encodes with the codec, at the quality the parameters give where its format takes one: a
// quality that is not one Long of 0 to 100 is an invalid parameter, other parameters are ignored.
// A JPEG kept as its file is encoded as JPEG a band of rows at a time. Traces a failure as
// decode_image does.
Gdiplus::Status encode_image(const Codec &codec, Image *image, const Gdiplus::EncoderParameters *params,
                             IStream *stream);

}  // namespace gdiplus
