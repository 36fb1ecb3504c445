// GDI+ declarations: the flat interface and the inline classes the program uses.
#pragma once
#include "windows.h"

namespace Gdiplus {

typedef float REAL;
typedef UINT UINT32;

enum Status {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
};

enum DebugEventLevel { DebugEventLevelFatal, DebugEventLevelWarning };
typedef void(WINAPI *DebugEventProc)(DebugEventLevel level, CHAR *message);

struct GdiplusStartupInput {
    UINT32 GdiplusVersion;
    DebugEventProc DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;

    GdiplusStartupInput(DebugEventProc callback = NULL, BOOL suppressBackgroundThread = FALSE,
                        BOOL suppressExternalCodecs = FALSE)
        : GdiplusVersion(1), DebugEventCallback(callback),
          SuppressBackgroundThread(suppressBackgroundThread),
          SuppressExternalCodecs(suppressExternalCodecs) {}
};

struct GdiplusStartupOutput {
    void *NotificationHook;
    void *NotificationUnhook;
};

class ImageCodecInfo {
public:
    CLSID Clsid;
    GUID FormatID;
    const WCHAR *CodecName;
    const WCHAR *DllName;
    const WCHAR *FormatDescription;
    const WCHAR *FilenameExtension;
    const WCHAR *MimeType;
    DWORD Flags;
    DWORD Version;
    DWORD SigCount;
    DWORD SigSize;
    const BYTE *SigPattern;
    const BYTE *SigMask;
};

enum EncoderParameterValueType {
    EncoderParameterValueTypeByte = 1,
    EncoderParameterValueTypeASCII = 2,
    EncoderParameterValueTypeShort = 3,
    EncoderParameterValueTypeLong = 4,
    EncoderParameterValueTypeRational = 5,
    EncoderParameterValueTypeLongRange = 6,
    EncoderParameterValueTypeUndefined = 7,
    EncoderParameterValueTypeRationalRange = 8,
};

class EncoderParameter {
public:
    GUID Guid;
    ULONG NumberOfValues;
    ULONG Type;
    VOID *Value;
};

class EncoderParameters {
public:
    UINT Count;
    EncoderParameter Parameter[1];
};

extern "C" const GUID EncoderQuality;

struct GpImage;
struct GpGraphics;

extern "C" {
Status WINAPI GdiplusStartup(ULONG_PTR *token, const GdiplusStartupInput *input,
                             GdiplusStartupOutput *output);
void WINAPI GdiplusShutdown(ULONG_PTR token);
Status WINAPI GdipGetImageEncodersSize(UINT *numEncoders, UINT *size);
Status WINAPI GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo *encoders);
Status WINAPI GdipLoadImageFromFile(const WCHAR *filename, GpImage **image);
Status WINAPI GdipLoadImageFromFileICM(const WCHAR *filename, GpImage **image);
Status WINAPI GdipSaveImageToStream(GpImage *image, IStream *stream, const CLSID *clsid,
                                    const EncoderParameters *params);
Status WINAPI GdipGetImageWidth(GpImage *image, UINT *width);
Status WINAPI GdipGetImageHeight(GpImage *image, UINT *height);
Status WINAPI GdipDisposeImage(GpImage *image);
Status WINAPI GdipCreateFromHDC(HDC hdc, GpGraphics **graphics);
Status WINAPI GdipDeleteGraphics(GpGraphics *graphics);
Status WINAPI GdipDrawImageI(GpGraphics *graphics, GpImage *image, INT x, INT y);
}

inline Status GetImageEncodersSize(UINT *numEncoders, UINT *size) {
    return GdipGetImageEncodersSize(numEncoders, size);
}

inline Status GetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo *encoders) {
    return GdipGetImageEncoders(numEncoders, size, encoders);
}

class Image {
public:
    explicit Image(const WCHAR *filename, BOOL useEmbeddedColorManagement = FALSE) {
        lastResult = useEmbeddedColorManagement ? GdipLoadImageFromFileICM(filename, &nativeImage)
                                                : GdipLoadImageFromFile(filename, &nativeImage);
    }
    ~Image() { GdipDisposeImage(nativeImage); }
    Image(const Image &) = delete;
    Image &operator=(const Image &) = delete;

    Status Save(IStream *stream, const CLSID *clsid, const EncoderParameters *params = NULL) {
        return SetStatus(GdipSaveImageToStream(nativeImage, stream, clsid, params));
    }
    UINT GetWidth() {
        UINT width = 0;
        SetStatus(GdipGetImageWidth(nativeImage, &width));
        return width;
    }
    UINT GetHeight() {
        UINT height = 0;
        SetStatus(GdipGetImageHeight(nativeImage, &height));
        return height;
    }
    Status GetLastStatus() {
        Status status = lastResult;
        lastResult = Ok;
        return status;
    }

private:
    friend class Graphics;
    Status SetStatus(Status status) {
        if (status != Ok) lastResult = status;
        return status;
    }
    GpImage *nativeImage = NULL;
    Status lastResult;
};

class Graphics {
public:
    explicit Graphics(HDC hdc) { lastResult = GdipCreateFromHDC(hdc, &nativeGraphics); }
    ~Graphics() { GdipDeleteGraphics(nativeGraphics); }
    Graphics(const Graphics &) = delete;
    Graphics &operator=(const Graphics &) = delete;

    Status DrawImage(Image *image, INT x, INT y) {
        Status status = GdipDrawImageI(nativeGraphics, image ? image->nativeImage : NULL, x, y);
        if (status != Ok) lastResult = status;
        return status;
    }
    Status GetLastStatus() {
        Status status = lastResult;
        lastResult = Ok;
        return status;
    }

private:
    GpGraphics *nativeGraphics = NULL;
    Status lastResult;
};

}  // namespace Gdiplus
