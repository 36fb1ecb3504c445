// TranslateMessage: the character messages of character keys.
#include <windows.h>

#include "core/out_of_memory.h"

namespace {

// The character a key types (without Shift), or 0.
WPARAM character_of(WPARAM vk) {
    if (vk >= 'A' && vk <= 'Z') return vk - 'A' + 'a';
    if (vk >= '0' && vk <= '9') return vk;
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return vk - VK_NUMPAD0 + '0';
    switch (vk) {
        case VK_BACK:
        case VK_TAB:
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_SPACE:
            return vk;
        case VK_OEM_PERIOD:
        case VK_DECIMAL:
            return '.';
    }
    return 0;
}

}  // namespace

extern "C" BOOL WINAPI TranslateMessage(const MSG *msg) try {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
    WPARAM ch = character_of(msg->wParam);
    if (ch) PostMessageA(msg->hwnd, msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, ch, msg->lParam);
    return TRUE;
} OUT_OF_MEMORY_RETURNS(FALSE)
