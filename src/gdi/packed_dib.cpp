#include "gdi/packed_dib.h"

#include <algorithm>
#include <cstring>

namespace gdi {

size_t description_bytes(const BITMAPINFO *info) {
    DWORD header = 0;
    std::memcpy(&header, info, sizeof header);
    if (header == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core;
        std::memcpy(&core, info, sizeof core);
        return header + (core.bcBitCount <= 8 ? sizeof(RGBTRIPLE) << core.bcBitCount : 0);
    }
    BITMAPINFOHEADER h;
    std::memcpy(&h, info, sizeof h);
    size_t masks_end = h.biCompression == BI_BITFIELDS ? sizeof h + 12 : 0;
    size_t colours = 0;
    if (h.biBitCount <= 8) colours = h.biClrUsed && h.biClrUsed < (1u << h.biBitCount) ? h.biClrUsed : 1u << h.biBitCount;
    return std::max<size_t>(header + colours * sizeof(RGBQUAD), masks_end);
}

}  // namespace gdi
