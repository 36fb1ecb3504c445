// Entry point and window procedure of the bench.
#include <windows.h>
#include <gdiplus.h>
#include <stdio.h>

#include "state/program_state.h"
#include "bitmap/bitmap.h"
#include "capture/capture.h"
#include "transcode/transcode.h"

static void OpenConsole() {
    AllocConsole();
    h = GetStdHandle(STD_OUTPUT_HANDLE);
    fr = freopen("CONOUT$", "wt", stdout);
}

static void CloseConsoleAndQuit() {
    if (fr) {
        fclose(fr);
        fr = NULL;  // a second destroy must not close the stream again
    }
    FreeConsole();
    CloseHandle(h);
    PostQuitMessage(0);
}

static void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (key_num == 1) {
        fn_JPG(hdc);
        fn_GetRGB(hwnd, hdc);
        printf("key %d\n", key_num);
    }
    if (key_num == 8) {
        fn_JPG(hdc);
        fn_GetPixel(hwnd);
    }
    if (key_num == 9) {
        // The bitmap of the previous mode-9 paint is no longer used: release it.
        if (hBit) DeleteObject(hBit);
        hBit = MakeDIBSection((char *)"testA.bmp");
        fn_DrawBitmap(hdc, 0, 0, hBit);
        fn_GetPixel(hwnd);
    }
    if (key_num >= 2 && key_num <= 7) fn_draw(hwnd, hdc);
    EndPaint(hwnd, &ps);
}

static void StepOffset(signed char code) {
    switch (code) {
        case 'E': g_val1 -= 10; break;
        case 'R': g_val1 += 10; break;
        case 'D': g_val2 -= 10; break;
        case 'F': g_val2 += 10; break;
        case 'T': g_val3 -= 10; break;
        case 'Y': g_val3 += 10; break;
        case 'G': g_val4 -= 10; break;
        case 'H': g_val4 += 10; break;
    }
}

static void KeyDown(HWND hwnd, WPARAM wParam) {
    key = (signed char)(wParam & 0xFF);
    printf("key %d\n", key);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) key_num = (signed char)(key - VK_NUMPAD0);
    if (key >= '0' && key <= '9') key_num = (signed char)(key - '0');
    printf("key_num %d\n", key_num);
    if (key == VK_ESCAPE) SendMessageA(hwnd, WM_DESTROY, 0, 0);
    if (key == 'Q') SendMessageA(hwnd, WM_DESTROY, 0, 0);
    StepOffset(key);
    RECT rc;
    GetClientRect(hwnd, &rc);
    InvalidateRect(hwnd, &rc, TRUE);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OpenConsole();
            return 0;
        case WM_DESTROY:
            CloseConsoleAndQuit();
            return 0;
        case WM_PAINT:
            Paint(hwnd);
            return 0;
        case WM_KEYDOWN:
            KeyDown(hwnd, wParam);
            return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

static ATOM RegisterWindowClass(HINSTANCE hInstance) {
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.cbSize = sizeof(WNDCLASSEXA);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hIcon = LoadIconA(NULL, IDI_APPLICATION);
    wc.hIconSm = LoadIconA(NULL, IDI_APPLICATION);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "WindowClass";
    return RegisterClassExA(&wc);
}

static int RunMessageLoop() {
    MSG msg;
    msg.wParam = 0;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    if (!RegisterWindowClass(hInstance)) {
        MessageBoxA(NULL, "Window Registration Failed!", "Error!", MB_ICONEXCLAMATION | MB_OK);
        return 0;
    }
    if (FAILED(CoInitialize(NULL))) return 0;

    Gdiplus::GdiplusStartupInput input(NULL, FALSE, FALSE);
    ULONG_PTR token = 0;
    bool gdiplusStarted = Gdiplus::GdiplusStartup(&token, &input, NULL) == Gdiplus::Ok;

    HWND hwnd = CreateWindowExA(WS_EX_CLIENTEDGE, "WindowClass", "Caption", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                CW_USEDEFAULT, CW_USEDEFAULT, 1300, 1067, NULL, NULL, hInstance, NULL);
    int exitCode = 0;
    if (hwnd == NULL)
        MessageBoxA(NULL, "Window Creation Failed!", "Error!", MB_ICONEXCLAMATION | MB_OK);
    else
        exitCode = RunMessageLoop();

    if (hBit) DeleteObject(hBit);
    if (gdiplusStarted) Gdiplus::GdiplusShutdown(token);
    CoUninitialize();
    return exitCode;
}
