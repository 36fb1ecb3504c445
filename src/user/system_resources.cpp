// The system's stock icon and cursor, and the count of live objects.
#include <windows.h>

#include <memory>

#include "core/handles.h"
#include "core/out_of_memory.h"
#include "gdi/gdi_internal.h"
#include "user/window_table.h"

namespace {

constexpr uintptr_t kApplicationResource = 32512;  // IDI_APPLICATION and IDC_ARROW

enum class Resource { ApplicationIcon, ArrowCursor };

// The two stock resources, made on first use and never freed.
struct StockResources {
    layer::HandleTable<Resource> table{layer::Kind::Stock};
    void *icon = table.add(std::make_unique<Resource>(Resource::ApplicationIcon));
    void *cursor = table.add(std::make_unique<Resource>(Resource::ArrowCursor));
};

const StockResources &stock() {
    static StockResources resources;
    return resources;
}

// Only the system's own resource (no module, the standard number) exists here.
void *load_system_resource(HINSTANCE instance, LPCSTR name, void *handle) {
    if (instance || reinterpret_cast<uintptr_t>(name) != kApplicationResource) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return handle;
}

}  // namespace

extern "C" HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) try {
    return static_cast<HICON>(load_system_resource(instance, name, stock().icon));
} OUT_OF_MEMORY_RETURNS(nullptr)

extern "C" HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) try {
    return static_cast<HCURSOR>(load_system_resource(instance, name, stock().cursor));
} OUT_OF_MEMORY_RETURNS(nullptr)

extern "C" DWORD WINAPI GetGuiResources(HANDLE process, DWORD flags) {
    if (process != GetCurrentProcess()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (flags) {
        case GR_GDIOBJECTS:
            return DWORD(gdi::live_objects());
        case GR_USEROBJECTS:
            return DWORD(user::live_windows());
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}
