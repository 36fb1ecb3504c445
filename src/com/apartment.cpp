// Apartment initialisation: a per-thread count, as the platform keeps it.
#include <objbase.h>

#include "core/faults.h"

namespace {
thread_local unsigned initialisations = 0;
}

extern "C" HRESULT WINAPI CoInitialize(LPVOID) {
    if (layer::injected_fault("CoInitialize")) return E_FAIL;
    return initialisations++ == 0 ? S_OK : S_FALSE;
}

extern "C" void WINAPI CoUninitialize(void) {
    if (initialisations > 0) --initialisations;
}
