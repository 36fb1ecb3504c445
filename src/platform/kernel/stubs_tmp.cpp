// Temporary: file, mapping and global-memory entry points exist so the tree links.
#include <windows.h>

extern "C" {
HANDLE WINAPI GetCurrentProcess(void) { return INVALID_HANDLE_VALUE; }
HANDLE WINAPI CreateFileA(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    return INVALID_HANDLE_VALUE;
}
BOOL WINAPI ReadFile(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) { return FALSE; }
BOOL WINAPI WriteFile(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) { return FALSE; }
DWORD WINAPI GetFileSize(HANDLE, LPDWORD) { return 0xFFFFFFFF; }
BOOL WINAPI CloseHandle(HANDLE) { return FALSE; }
BOOL WINAPI DeleteFileA(LPCSTR) { return FALSE; }
BOOL WINAPI MoveFileExA(LPCSTR, LPCSTR, DWORD) { return FALSE; }
HANDLE WINAPI CreateFileMappingA(HANDLE, LPSECURITY_ATTRIBUTES, DWORD, DWORD, DWORD, LPCSTR) { return nullptr; }
HGLOBAL WINAPI GlobalAlloc(UINT, SIZE_T) { return nullptr; }
LPVOID WINAPI GlobalLock(HGLOBAL) { return nullptr; }
BOOL WINAPI GlobalUnlock(HGLOBAL) { return FALSE; }
HGLOBAL WINAPI GlobalFree(HGLOBAL mem) { return mem; }
SIZE_T WINAPI GlobalSize(HGLOBAL) { return 0; }
}
