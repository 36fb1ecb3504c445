// Images: loading from files, saving to streams, size queries and disposal.
#include <gdiplus.h>

#include <memory>
#include <new>

#include "core/faults.h"
#include "core/out_of_memory.h"
#include "gdiplus/decoders.h"
#include "gdiplus/encoder_list.h"
#include "gdiplus/encoders.h"
#include "gdiplus/file_bytes.h"
#include "gdiplus/objects.h"
#include "gdiplus/startup.h"

using namespace Gdiplus;

namespace {

constexpr int kDefaultJpegQuality = 75;

// The JPEG quality from the encoder parameters: a single Long of 0..100 under EncoderQuality.
// Other parameters are ignored.
Status jpeg_quality(const EncoderParameters *params, int *quality) {
    *quality = kDefaultJpegQuality;
    if (!params) return Ok;
    for (UINT i = 0; i < params->Count; ++i) {
        const EncoderParameter &param = params->Parameter[i];
        if (param.Guid != EncoderQuality) continue;
        if (param.Type != EncoderParameterValueTypeLong || param.NumberOfValues != 1 || !param.Value)
            return InvalidParameter;
        ULONG value = *static_cast<const ULONG *>(param.Value);
        if (value > 100) return InvalidParameter;
        *quality = int(value);
    }
    return Ok;
}

Status encode(const gdiplus::Raster &image, gdiplus::Format format, const EncoderParameters *params,
              IStream *stream) {
    switch (format) {
    case gdiplus::Format::Bmp:
        return gdiplus::encode_bmp(image, stream);
    case gdiplus::Format::Png:
        return gdiplus::encode_png(image, stream);
    case gdiplus::Format::Jpeg: {
        int quality;
        Status valid = jpeg_quality(params, &quality);
        return valid == Ok ? gdiplus::encode_jpeg(image, quality, stream) : valid;
    }
    }
    return InvalidParameter;
}

}  // namespace

extern "C" const GUID Gdiplus::EncoderQuality = {0x1D5BE4B5, 0xFA4A, 0x452D,
                                                 {0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB}};

// Failed loads: GenericError when the file cannot be read (missing, a directory), UnknownImageFormat
// when its first bytes are no known signature (an empty file included), GenericError when it is a
// damaged or unsupported file of a known format (one cut short while it was read included),
// OutOfMemory over the pixel cap. The image is then
// null, as the platform leaves it.
extern "C" Status WINAPI GdipLoadImageFromFile(const WCHAR *filename, GpImage **image) try {
    if (!image) return InvalidParameter;
    *image = nullptr;
    if (!filename) return InvalidParameter;
    if (!gdiplus::started()) return GdiplusNotInitialized;
    gdiplus::FileBytes bytes;
    Status read = bytes.open(filename);
    if (read != Ok) return read;
    std::unique_ptr<gdiplus::Raster> raster(new (std::nothrow) gdiplus::Raster);
    if (!raster) return OutOfMemory;
    Status decoded = gdiplus::decode_image(bytes.data(), bytes.size(), raster.get());
    if (decoded != Ok) return decoded;
    if (!bytes.intact()) return GenericError;  // another process cut the file short while it was read
    *image = gdiplus::add_image(std::move(raster));
    return *image ? Ok : OutOfMemory;
} OUT_OF_MEMORY_RETURNS(OutOfMemory)

// The layer applies no colour management, so both loads are the same.
extern "C" Status WINAPI GdipLoadImageFromFileICM(const WCHAR *filename, GpImage **image) {
    return GdipLoadImageFromFile(filename, image);
}

// An encoder CLSID that names no encoder of the list is an invalid parameter.
extern "C" Status WINAPI GdipSaveImageToStream(GpImage *image, IStream *stream, const CLSID *clsid,
                                               const EncoderParameters *params) try {
    if (!gdiplus::started()) return GdiplusNotInitialized;
    const gdiplus::Raster *raster = gdiplus::find_image(image);
    gdiplus::Format format;
    if (!raster || !stream || !clsid || !gdiplus::find_encoder(*clsid, &format)) return InvalidParameter;
    if (layer::injected_fault("GdipSaveImageToStream")) return Win32Error;
    return encode(*raster, format, params, stream);
} OUT_OF_MEMORY_RETURNS(OutOfMemory)

extern "C" Status WINAPI GdipGetImageWidth(GpImage *image, UINT *width) {
    if (!gdiplus::started()) return GdiplusNotInitialized;
    const gdiplus::Raster *raster = gdiplus::find_image(image);
    if (!raster || !width) return InvalidParameter;
    *width = UINT(raster->width);
    return Ok;
}

extern "C" Status WINAPI GdipGetImageHeight(GpImage *image, UINT *height) {
    if (!gdiplus::started()) return GdiplusNotInitialized;
    const gdiplus::Raster *raster = gdiplus::find_image(image);
    if (!raster || !height) return InvalidParameter;
    *height = UINT(raster->height);
    return Ok;
}

// Disposal works whether or not GDI+ is running, so that nothing leaks; null is fine.
extern "C" Status WINAPI GdipDisposeImage(GpImage *image) {
    if (!image) return Ok;
    return gdiplus::remove_image(image) ? Ok : InvalidParameter;
}
