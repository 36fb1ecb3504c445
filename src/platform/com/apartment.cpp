// Apartment initialisation: a per-thread count, as the platform keeps it.
#include <objbase.h>

#include "core/faults.h"
#include "core/out_of_memory.h"

namespace {
thread_local unsigned initialisations = 0;
}

extern "C" HRESULT WINAPI CoInitialize(LPVOID) try {
    if (layer::injected_fault("CoInitialize")) return E_FAIL;
    return initialisations++ == 0 ? S_OK : S_FALSE;
} OUT_OF_MEMORY_RETURNS(E_OUTOFMEMORY)

extern "C" void WINAPI CoUninitialize(void) {
    if (initialisations > 0) --initialisations;
}
