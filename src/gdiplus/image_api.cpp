// Images: loading from files, saving to streams, size queries and disposal.
#include <gdiplus.h>

#include <memory>
#include <new>

#include "core/faults.h"
#include "core/out_of_memory.h"
#include "gdiplus/codec_table.h"
#include "gdiplus/file_bytes.h"
#include "gdiplus/objects.h"
#include "gdiplus/startup.h"

using namespace Gdiplus;

extern "C" const GUID Gdiplus::EncoderQuality = {0x1D5BE4B5, 0xFA4A, 0x452D,
                                                 {0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB}};

// Failed loads: GenericError when the file cannot be read (missing, a directory), UnknownImageFormat
// when its first bytes are no known signature (an empty file included), GenericError when it is a
// damaged or unsupported file of a known format (one cut short while it was read included),
// OutOfMemory over the pixel cap. The image is then null, as the platform leaves it.
extern "C" Status WINAPI GdipLoadImageFromFile(const WCHAR *filename, GpImage **image) try {
    if (!image) return InvalidParameter;
    *image = nullptr;
    if (!filename) return InvalidParameter;
    if (!gdiplus::started()) return GdiplusNotInitialized;
    std::unique_ptr<gdiplus::FileBytes> bytes(new (std::nothrow) gdiplus::FileBytes);
    std::unique_ptr<gdiplus::Image> loaded(new (std::nothrow) gdiplus::Image);
    if (!bytes || !loaded) return OutOfMemory;
    Status read = bytes->open(filename);
    if (read != Ok) return read;
    bool keep_file = false;
    Status decoded = gdiplus::decode_image(bytes->data(), bytes->size(), loaded.get(), &keep_file);
    if (decoded != Ok) return decoded;
    if (!bytes->intact()) return GenericError;  // another process cut the file short while it was read
    if (keep_file) loaded->file = std::move(bytes);
    *image = gdiplus::add_image(std::move(loaded));
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
    gdiplus::Image *found = gdiplus::find_image(image);
    const gdiplus::Codec *codec = clsid ? gdiplus::codec_for_clsid(*clsid) : nullptr;
    if (!found || !stream || !codec) return InvalidParameter;
    if (layer::injected_fault("GdipSaveImageToStream")) return Win32Error;
    return gdiplus::encode_image(*codec, found, params, stream);
} OUT_OF_MEMORY_RETURNS(OutOfMemory)

extern "C" Status WINAPI GdipGetImageWidth(GpImage *image, UINT *width) {
    if (!gdiplus::started()) return GdiplusNotInitialized;
    const gdiplus::Image *found = gdiplus::find_image(image);
    if (!found || !width) return InvalidParameter;
    *width = UINT(found->width);
    return Ok;
}

extern "C" Status WINAPI GdipGetImageHeight(GpImage *image, UINT *height) {
    if (!gdiplus::started()) return GdiplusNotInitialized;
    const gdiplus::Image *found = gdiplus::find_image(image);
    if (!found || !height) return InvalidParameter;
    *height = UINT(found->height);
    return Ok;
}

// Disposal works whether or not GDI+ is running, so that nothing leaks; null is fine.
extern "C" Status WINAPI GdipDisposeImage(GpImage *image) {
    if (!image) return Ok;
    return gdiplus::remove_image(image) ? Ok : InvalidParameter;
}
