// GetDeviceCaps: every context answers for the display it belongs to, a 32-bit screen without
// a palette; memory contexts answer for it too, whatever bitmap they hold.
#include "gdi/gdi_internal.h"
#include "gdi/gdi_objects.h"

namespace {

constexpr int kDotsPerInch = 96;
constexpr int kTenthsOfMillimetrePerInch = 254;

int millimetres(int pixels) { return pixels * kTenthsOfMillimetrePerInch / (kDotsPerInch * 10); }

}  // namespace

extern "C" int WINAPI GetDeviceCaps(HDC hdc, int index) {
    if (!gdi::find_dc(hdc)) return 0;
    switch (index) {
        case TECHNOLOGY: return DT_RASDISPLAY;
        case HORZSIZE: return millimetres(gdi::kScreenWidth);
        case VERTSIZE: return millimetres(gdi::kScreenHeight);
        case HORZRES:
        case DESKTOPHORZRES: return gdi::kScreenWidth;
        case VERTRES:
        case DESKTOPVERTRES: return gdi::kScreenHeight;
        case BITSPIXEL: return 32;
        case PLANES: return 1;
        case NUMCOLORS: return -1;
        case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
        case LOGPIXELSX:
        case LOGPIXELSY: return kDotsPerInch;
        case SIZEPALETTE:
        case NUMRESERVED: return 0;
        case COLORRES: return 24;
    }
    return 0;
}
