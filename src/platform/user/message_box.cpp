// MessageBoxA: shown by the backend, which answers it.
#include <windows.h>

#include "display/screen.h"
#include "user/window.h"

extern "C" int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (owner && !user::find_window(owner)) return 0;
    return display::backend().message_box(text ? text : "", caption ? caption : "Error", type);
}
