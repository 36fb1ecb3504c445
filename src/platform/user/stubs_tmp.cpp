// Temporary: every window-manager entry point exists so the tree links; replaced piece by piece.
#include <windows.h>

extern "C" {
ATOM WINAPI RegisterClassExA(const WNDCLASSEXA *) { return 0; }
HWND WINAPI CreateWindowExA(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE,
                            LPVOID) { return nullptr; }
BOOL WINAPI DestroyWindow(HWND) { return FALSE; }
BOOL WINAPI IsWindow(HWND) { return FALSE; }
LRESULT WINAPI DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }
LRESULT WINAPI SendMessageA(HWND, UINT, WPARAM, LPARAM) { return 0; }
BOOL WINAPI PostMessageA(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
void WINAPI PostQuitMessage(int) {}
BOOL WINAPI GetMessageA(LPMSG, HWND, UINT, UINT) { return -1; }
BOOL WINAPI TranslateMessage(const MSG *) { return FALSE; }
LRESULT WINAPI DispatchMessageA(const MSG *) { return 0; }
BOOL WINAPI GetClientRect(HWND, LPRECT) { return FALSE; }
BOOL WINAPI InvalidateRect(HWND, const RECT *, BOOL) { return FALSE; }
HDC WINAPI BeginPaint(HWND, LPPAINTSTRUCT) { return nullptr; }
BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT *) { return FALSE; }
HDC WINAPI GetDC(HWND) { return nullptr; }
int WINAPI ReleaseDC(HWND, HDC) { return 0; }
int WINAPI MessageBoxA(HWND, LPCSTR, LPCSTR, UINT) { return IDOK; }
HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) { return nullptr; }
HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR) { return nullptr; }
DWORD WINAPI GetGuiResources(HANDLE, DWORD) { return 0; }
}
