// Temporary: GDI+ entry points fail until the real implementation lands.
#include <objbase.h>
#include <gdiplus.h>

namespace Gdiplus {

extern "C" const GUID EncoderQuality = {0x1D5BE4B5, 0xFA4A, 0x452D, {0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB}};

extern "C" {
Status WINAPI GdiplusStartup(ULONG_PTR *, const GdiplusStartupInput *, GdiplusStartupOutput *) { return GenericError; }
void WINAPI GdiplusShutdown(ULONG_PTR) {}
Status WINAPI GdipGetImageEncodersSize(UINT *numEncoders, UINT *size) {
    if (numEncoders) *numEncoders = 0;
    if (size) *size = 0;
    return GenericError;
}
Status WINAPI GdipGetImageEncoders(UINT, UINT, ImageCodecInfo *) { return GenericError; }
Status WINAPI GdipLoadImageFromFile(const WCHAR *, GpImage **image) {
    if (image) *image = NULL;
    return GenericError;
}
Status WINAPI GdipLoadImageFromFileICM(const WCHAR *, GpImage **image) {
    if (image) *image = NULL;
    return GenericError;
}
Status WINAPI GdipSaveImageToStream(GpImage *, IStream *, const CLSID *, const EncoderParameters *) { return GenericError; }
Status WINAPI GdipGetImageWidth(GpImage *, UINT *) { return GenericError; }
Status WINAPI GdipGetImageHeight(GpImage *, UINT *) { return GenericError; }
Status WINAPI GdipDisposeImage(GpImage *) { return Ok; }
Status WINAPI GdipCreateFromHDC(HDC, GpGraphics **graphics) {
    if (graphics) *graphics = NULL;
    return GenericError;
}
Status WINAPI GdipDeleteGraphics(GpGraphics *) { return Ok; }
Status WINAPI GdipDrawImageI(GpGraphics *, GpImage *, INT, INT) { return GenericError; }
}

}  // namespace Gdiplus
