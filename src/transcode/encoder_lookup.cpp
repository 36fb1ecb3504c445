// Finds an image encoder's class identifier by its MIME type.
#include <windows.h>
#include <gdiplus.h>
#include <stdlib.h>
#include <wchar.h>

#include "transcode/transcode.h"

// Returns the encoder's position in the platform's list and copies its CLSID, or -1 with the
// CLSID untouched. The first exact (case-sensitive) match wins.
int GetEncoderClsid(const WCHAR *format, CLSID *pClsid) {
    UINT num = 0;
    UINT size = 0;
    Gdiplus::GetImageEncodersSize(&num, &size);
    if (size == 0) return -1;

    Gdiplus::ImageCodecInfo *codecs = (Gdiplus::ImageCodecInfo *)malloc(size);
    if (codecs == NULL) return -1;
    if (Gdiplus::GetImageEncoders(num, size, codecs) != Gdiplus::Ok) num = 0;

    for (UINT j = 0; j < num; ++j) {
        if (wcscmp(codecs[j].MimeType, format) == 0) {
            *pClsid = codecs[j].Clsid;
            free(codecs);
            return (int)j;
        }
    }
    free(codecs);
    return -1;
}
