// Temporary: COM entry points fail until the real implementation lands.
#include <objbase.h>

extern "C" HRESULT WINAPI CoInitialize(LPVOID) { return E_FAIL; }
extern "C" void WINAPI CoUninitialize(void) {}
extern "C" HRESULT WINAPI CreateStreamOnHGlobal(HGLOBAL, BOOL, LPSTREAM *stream) {
    if (stream) *stream = NULL;
    return E_OUTOFMEMORY;
}
