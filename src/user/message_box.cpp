// MessageBoxA: shown by the display backend, which answers it; without a display the box goes to
// standard error and is answered OK.
#include <windows.h>

#include <cstdio>

#include "core/out_of_memory.h"
#include "display/screen.h"
#include "user/window_table.h"

extern "C" int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) try {
    if (owner && !user::find_window(owner)) return 0;
    text = text ? text : "";
    caption = caption ? caption : "Error";
    if (int answer = display::backend().message_box(text, caption, type)) return answer;
    std::fprintf(stderr, "message box \"%s\": %s\n", caption, text);
    return IDOK;
} OUT_OF_MEMORY_RETURNS(0)
