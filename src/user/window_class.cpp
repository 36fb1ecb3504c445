#include "user/window_class.h"

#include <strings.h>

#include <memory>
#include <vector>

#include "core/faults.h"
#include "core/out_of_memory.h"

namespace user {
namespace {

// Atoms of registered classes start here, as the platform's do.
constexpr ATOM kFirstAtom = 0xC000;

std::vector<std::unique_ptr<WindowClass>> &classes() {
    static std::vector<std::unique_ptr<WindowClass>> registered;
    return registered;
}

}  // namespace

const WindowClass *find_class(const char *name) {
    if (!name) return nullptr;
    uintptr_t value = reinterpret_cast<uintptr_t>(name);
    bool is_atom = value <= 0xFFFF;
    for (const auto &cls : classes())
        if (is_atom ? cls->atom == value : strcasecmp(cls->name.c_str(), name) == 0) return cls.get();
    return nullptr;
}

}  // namespace user

extern "C" ATOM WINAPI RegisterClassExA(const WNDCLASSEXA *wc) try {
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpfnWndProc ||
        reinterpret_cast<uintptr_t>(wc->lpszClassName) <= 0xFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (layer::injected_fault("RegisterClassExA")) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    if (user::find_class(wc->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto cls = std::make_unique<user::WindowClass>();
    cls->name = wc->lpszClassName;
    cls->proc = wc->lpfnWndProc;
    cls->background = wc->hbrBackground;
    cls->instance = wc->hInstance;
    auto &all = user::classes();
    cls->atom = ATOM(user::kFirstAtom + all.size());
    all.push_back(std::move(cls));
    return all.back()->atom;
} OUT_OF_MEMORY_RETURNS(0)
