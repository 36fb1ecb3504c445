// The system colours and the fills with their brushes.
#include <windows.h>

#include <cstdint>

#include "core/out_of_memory.h"
#include "gdi/gdi_internal.h"

namespace {

// The system colours of the platform's default scheme, as COLORREF values.
const COLORREF kSystemColours[] = {
    RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219), RGB(240, 240, 240),
    RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(180, 180, 180), RGB(244, 247, 252), RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255),
    RGB(240, 240, 240), RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),       RGB(255, 255, 225),
    RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234), RGB(215, 228, 242), RGB(51, 153, 255),
    RGB(240, 240, 240),
};
constexpr int kSystemColourCount = int(sizeof kSystemColours / sizeof kSystemColours[0]);

}  // namespace

extern "C" {

// Brushes are the system colour brushes, COLOR_xxx + 1, the kind a window class names.
int WINAPI FillRect(HDC hdc, const RECT *rect, HBRUSH brush) try {
    uintptr_t colour_index = reinterpret_cast<uintptr_t>(brush) - 1;
    if (!rect || colour_index >= uintptr_t(kSystemColourCount) ||
        !gdi::fill_colour(hdc, *rect, kSystemColours[colour_index])) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return 1;
} OUT_OF_MEMORY_RETURNS(0)

DWORD WINAPI GetSysColor(int index) {
    return index >= 0 && index < kSystemColourCount ? kSystemColours[index] : 0;
}

}  // extern "C"
