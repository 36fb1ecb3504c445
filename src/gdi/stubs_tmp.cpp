// Temporary: GDI entry points exist so the tree links; replaced piece by piece.
#include "gdi/gdi_internal.h"

extern "C" {
HDC WINAPI CreateCompatibleDC(HDC) { return nullptr; }
BOOL WINAPI DeleteDC(HDC) { return FALSE; }
HGDIOBJ WINAPI SelectObject(HDC, HGDIOBJ) { return nullptr; }
BOOL WINAPI DeleteObject(HGDIOBJ) { return FALSE; }
int WINAPI GetObjectA(HANDLE, int, LPVOID) { return 0; }
DWORD WINAPI GetObjectType(HGDIOBJ) { return 0; }
HBITMAP WINAPI CreateCompatibleBitmap(HDC, int, int) { return nullptr; }
HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO *, UINT, void **bits, HANDLE, DWORD) {
    if (bits) *bits = nullptr;
    return nullptr;
}
HBITMAP WINAPI CreateDIBitmap(HDC, const BITMAPINFOHEADER *, DWORD, const void *, const BITMAPINFO *, UINT) {
    return nullptr;
}
int WINAPI GetDIBits(HDC, HBITMAP, UINT, UINT, LPVOID, LPBITMAPINFO, UINT) { return 0; }
int WINAPI SetDIBitsToDevice(HDC, int, int, DWORD, DWORD, int, int, UINT, UINT, const void *, const BITMAPINFO *,
                             UINT) {
    return 0;
}
int WINAPI StretchDIBits(HDC, int, int, int, int, int, int, int, int, const void *, const BITMAPINFO *, UINT, DWORD) {
    return 0;
}
int WINAPI SetStretchBltMode(HDC, int) { return 0; }
int WINAPI GetStretchBltMode(HDC) { return 0; }
BOOL WINAPI BitBlt(HDC, int, int, int, int, HDC, int, int, DWORD) { return FALSE; }
COLORREF WINAPI GetPixel(HDC, int, int) { return CLR_INVALID; }
COLORREF WINAPI SetPixel(HDC, int, int, COLORREF) { return CLR_INVALID; }
int WINAPI FillRect(HDC, const RECT *, HBRUSH) { return 0; }
DWORD WINAPI GetSysColor(int) { return 0xFFFFFF; }
}

namespace gdi {
HDC create_window_dc(Surface *) { return nullptr; }
BOOL release_window_dc(HDC) { return FALSE; }
Surface *surface_of(HDC) { return nullptr; }
bool describe_dib(const BITMAPINFO *, Surface *, size_t *) { return false; }
void read_bgra(const Surface &, uint32_t *) {}
void draw_bgra(HDC, int, int, const uint32_t *, int, int, bool) {}
size_t live_objects() { return 0; }
}  // namespace gdi
